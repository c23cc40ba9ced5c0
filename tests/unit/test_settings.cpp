#include "app/Errors.h"
#include "persistence/ProfileFile.h"
#include "persistence/Settings.h"
#include "persistence/ValueText.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

std::string S(const QString &text) {
    return text.toStdString();
}
std::string S(const QByteArray &bytes) {
    return bytes.toStdString();
}

// The message of the AppError that `action` throws.
std::string ErrorOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const AppError &error) {
        return S(error.message());
    }
    return "(no error)";
}

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

// ---------------------------------------------------------------------------------------------
// Value texts

TEST(ValueText, ParsesIntegersAsTheRunTimeLibraryDoes) {
    const struct {
        const char *text;
        std::optional<qint32> expected;
    } cases[] = {
        {"0", 0},
        {"007", 7},
        {"-45", -45},
        {"+7", 7},
        {"   12", 12},
        {"2147483647", kMax},
        {"2147483648", std::nullopt},
        {"-2147483648", kMin},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x10", 16},
        {"0X1f", 31},
        {"$FF", 255},
        {"x10", 16},
        {"X10", 16},
        {"-0x10", -16},
        {"+$10", 16},
        {" $a", 10},
        {"0x0000000010", 16},
        {"0xFFFFFFFF", -1},
        {"0x80000000", kMin},
        {"-$FFFFFFFF", 1},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"-x", std::nullopt},
        {"0xG", std::nullopt},
        {"abc", std::nullopt},
        {"12a", std::nullopt},
        {"12 ", std::nullopt},
        {"\t12", std::nullopt},
        {"1.5", std::nullopt},
        {"--1", std::nullopt},
        {"0x-1", std::nullopt},
        {"\xd9\xa1", std::nullopt}, // ARABIC-INDIC DIGIT ONE is no digit here
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseProfileInteger(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(ValueText, ReadsIntegersAndBooleansWithDefaults) {
    EXPECT_EQ(ReadIntegerText("0x10", 248), 16);
    EXPECT_EQ(ReadIntegerText("abc", 248), 248);
    EXPECT_EQ(ReadIntegerText("", -3), -3);

    const struct {
        const char *text;
        bool def;
        bool expected;
    } cases[] = {
        {"2", false, true},   {"-1", false, true},   {"1", false, true},  {"0", true, false},
        {"0x0", true, false}, {"yes", false, false}, {"yes", true, true}, {"true", false, false},
        {"", true, true},     {"", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.def ? " default true" : " default false"));
        EXPECT_EQ(ReadBoolText(c.text, c.def), c.expected);
    }
}

TEST(ValueText, ReadsFloatsInTheGivenSeparatorOnly) {
    const double def = -99.0;
    const struct {
        const char *text;
        char sep;
        double expected;
    } cases[] = {
        {"0.5", '.', 0.5},
        {"0,5", ',', 0.5},
        {"0.5", ',', def},
        {"0,5", '.', def},
        {"  -1.25e2  ", '.', -125.0},
        {"+.5", '.', 0.5},
        {"5.", '.', 5.0},
        {"00012.5000", '.', 12.5},
        {"1E-3", '.', 0.001},
        {"1e+3", '.', 1000.0},
        {"2,5E-7", ',', 2.5e-7},
        {"1e0000000000000000000001", '.', 10.0},
        {"1e-400", '.', 0.0},
        {"1e-99999999999999", '.', 0.0},
        {"0.0000e999999999999", '.', 0.0},
        {"1e400", '.', def},
        {"1e99999999999999", '.', def},
        {"", '.', def},
        {" ", '.', def},
        {".", '.', def},
        {"-", '.', def},
        {"e5", '.', def},
        {"1e", '.', def},
        {"1e+", '.', def},
        {"1.2.3", '.', def},
        {"1 2", '.', def},
        {"\t1", '.', def},
        {"0x10", '.', def},
        {"inf", '.', def},
        {"nan", '.', def},
        {"1,000.5", '.', def},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " with '" + c.sep + "'");
        EXPECT_EQ(ReadFloatText(c.text, def, QChar(c.sep)), c.expected);
    }
}

TEST(ValueText, WritesIntegersAndBooleans) {
    EXPECT_EQ(S(IntegerText(0)), "0");
    EXPECT_EQ(S(IntegerText(-1)), "-1");
    EXPECT_EQ(S(IntegerText(kMin)), "-2147483648");
    EXPECT_EQ(S(IntegerText(kMax)), "2147483647");
    EXPECT_EQ(S(BoolText(true)), "1");
    EXPECT_EQ(S(BoolText(false)), "0");
}

TEST(ValueText, WritesFloatsInTheGeneralFormat) {
    const struct {
        double value;
        char sep;
        const char *expected;
    } cases[] = {
        {0.5, '.', "0.5"},
        {0.5, ',', "0,5"},
        {1.0, '.', "1"},
        {0.0, '.', "0"},
        {-0.0, '.', "0"},
        {double(0.3f), '.', "0.300000011920929"},
        {double(0.3f), ',', "0,300000011920929"},
        {1.0 / 3.0, '.', "0.333333333333333"},
        {2.0 / 3.0, '.', "0.666666666666667"},
        {-3.0, '.', "-3"},
        {100.0, '.', "100"},
        {1234.5, '.', "1234.5"},
        {0.00001, '.', "0.00001"},
        {0.0000123, '.', "0.0000123"},
        {9.9999999999999999e-6, '.', "0.00001"}, // rounds onto the boundary
        {9.99e-6, '.', "9.99E-6"},
        {1e-6, '.', "1E-6"},
        {-2.5e-7, '.', "-2.5E-7"},
        {-2.5e-7, ',', "-2,5E-7"},
        {1.5e-300, '.', "1.5E-300"},
        {999999999999999.0, '.', "999999999999999"},
        {1e15, '.', "1E15"},
        {123456789012345678.0, '.', "1.23456789012346E17"},
        {1e100, '.', "1E100"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(S(FloatText(c.value, QChar(c.sep))), c.expected);
    }
}

TEST(ValueText, EveryVolumeReadsBackAsWritten) {
    std::vector<float> volumes = {0.3f, 1e-7f, 0.1f, 0.999999f, 1.0f / 3.0f};
    for (int step = 0; step <= 1000; ++step)
        volumes.push_back(float(step) / 1000.0f);
    for (const QChar sep : {QChar(u'.'), QChar(u',')}) {
        for (const float volume : volumes) {
            const QString text = FloatText(double(volume), sep);
            SCOPED_TRACE(S(text));
            EXPECT_EQ(float(ReadFloatText(text, -1.0, sep)), volume);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Profile file

class ProfileFileTest : public ::testing::Test {
protected:
    QString folder = TestDocuments();
    QString path = folder + QStringLiteral("/profile.ini");
};

TEST_F(ProfileFileTest, FindsKeysAsTheProfileFunctionsDo) {
    WriteBytes(path, "Top=999\n"
                     "[form]\r\n"
                     "  TOP = 12  \n"
                     "Left=\"34\"\n"
                     "Name= ' spaced ' \n"
                     "Mixed=\"abc'\n"
                     "Lone=\"\n"
                     "; Width=1\n"
                     "[ List ] trailing text\n"
                     "Repeat=1\n"
                     "Repeat=2\n"
                     "[List]\n"
                     "Shuffle=1\n"
                     "[Other]\n"
                     "Top=5");
    const ProfileFile file(path);
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
        {"Form", "Top", "12"},       {"FORM", "left", "34"},    {"Form", "Name", " spaced "},
        {"Form", "Mixed", "\"abc'"}, {"Form", "Lone", "\""},    {"Form", "Width", "def"},
        {"Form", "; Width", "def"},  {"list", "Repeat", "1"},   {"List", "Shuffle", "def"},
        {"Other", "Top", "5"},       {"Missing", "Top", "def"}, {"Form", "Missing", "def"},
        {"[form]", "Top", "def"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(S(file.readString(c.section, c.key, "def")), c.expected);
    }
}

TEST_F(ProfileFileTest, WritesInPlaceAndKeepsEveryOtherLine) {
    WriteBytes(path, "\xEF\xBB\xBF; \xC7\xE0\xEC\xE5\xF2\xEA\xE0 in cp1251\n"
                     "[form]\n"
                     "  TOP = 1  \n"
                     "Bare\n"
                     "odd line without equals   \n"
                     "; trailing comment\n"
                     "\n"
                     "[Other]\r\n"
                     "\tKey = v ; not a comment\r\n"
                     "[List]\n"
                     "Top=3");
    ProfileFile file(path);
    file.writeString("FORM", "top", "7");
    file.writeString("Form", "Bare", "x");
    file.writeString("Form", "Left", "8");
    file.writeString("List", "Repeat", "1");
    file.writeString("New", "Key", "v");
    file.writeString("New", "Second", "w");
    EXPECT_EQ(S(file.readString("form", "LEFT", "def")), "8");
    file.save();

    EXPECT_EQ(S(ReadBytes(path)), "; \xC7\xE0\xEC\xE5\xF2\xEA\xE0 in cp1251\r\n"
                                  "[form]\r\n"
                                  "TOP=7\r\n"
                                  "Bare=x\r\n"
                                  "odd line without equals   \r\n"
                                  "Left=8\r\n"
                                  "; trailing comment\r\n"
                                  "\r\n"
                                  "[Other]\r\n"
                                  "\tKey = v ; not a comment\r\n"
                                  "[List]\r\n"
                                  "Top=3\r\n"
                                  "Repeat=1\r\n"
                                  "[New]\r\n"
                                  "Key=v\r\n"
                                  "Second=w\r\n");
}

TEST_F(ProfileFileTest, NewKeyOfAnEmptySectionFollowsItsHeader) {
    WriteBytes(path, "[A]\n\n[B]\nk=1\n");
    ProfileFile file(path);
    file.writeString("a", "k", "2");
    file.save();
    EXPECT_EQ(S(ReadBytes(path)), "[A]\r\nk=2\r\n\r\n[B]\r\nk=1\r\n");
}

TEST_F(ProfileFileTest, SaveBeneathARegularFileThrows) {
    const QString regularFile = folder + QStringLiteral("/plain.txt");
    WriteBytes(regularFile, "x");
    const QString inside = regularFile + QStringLiteral("/profile.ini");
    ProfileFile file(inside);
    file.writeString("List", "Last", "0");
    EXPECT_EQ(ErrorOf([&] { file.save(); }), S(QStringLiteral("Unable to write to ") + inside));
    EXPECT_EQ(S(ReadBytes(regularFile)), "x");
}

// A full disk, simulated with a file size limit, which binds even the superuser.
TEST_F(ProfileFileTest, FailedSaveLeavesTheOldFileWhole) {
    const QByteArray old = "[List]\r\nLast=1\r\n";
    WriteBytes(path, old);
    ProfileFile file(path);
    file.writeString("List", "Last", QString(200, u'9'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = 64;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const std::string error = ErrorOf([&] { file.save(); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, S(QStringLiteral("Unable to write to ") + path));
    EXPECT_EQ(S(ReadBytes(path)), S(old));
    EXPECT_EQ(S(QDir(folder).entryList(QDir::Files | QDir::Hidden).join(u' ')), "profile.ini");
}

TEST_F(ProfileFileTest, SaveInAReadOnlyFolderThrowsAndKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    const QByteArray old = "[List]\r\nLast=1\r\n";
    WriteBytes(path, old);
    ProfileFile file(path);
    file.writeString("List", "Last", "2");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const std::string error = ErrorOf([&] { file.save(); });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(error, S(QStringLiteral("Unable to write to ") + path));
    EXPECT_EQ(S(ReadBytes(path)), S(old));
}

TEST_F(ProfileFileTest, AnUnreadableFileReadsEmptyAndIsNeverOverwritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser reads every file";
    WriteBytes(path, "[List]\r\nLast=1\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::WriteOwner));
    ProfileFile file(path);
    EXPECT_EQ(S(file.readString("List", "Last", "def")), "def");
    file.writeString("List", "Repeat", "1");
    const std::string error = ErrorOf([&] { file.save(); });
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    EXPECT_EQ(error, S(QStringLiteral("Unable to write to ") + path));
    EXPECT_EQ(S(ReadBytes(path)), "[List]\r\nLast=1\r\n");
}

// ---------------------------------------------------------------------------------------------
// Settings file

std::string Describe(const SettingsValues &v) {
    return "form " + std::to_string(v.formTop) + "," + std::to_string(v.formLeft) + " list " +
           std::to_string(v.listTop) + "," + std::to_string(v.listLeft) +
           (v.repeat ? " repeat" : "") + (v.shuffle ? " shuffle" : "") + " volume " +
           S(FloatText(double(v.volume), u'.'));
}

class SettingsTest : public ::testing::Test {
protected:
    QString folder = TestDocuments();
    QString path = folder + u'/' + Settings::FileName();
};

TEST_F(SettingsTest, FirstRunAndLastMakeTheExpectedFile) {
    SettingsValues v;
    v.formTop = 310;
    v.formLeft = -12;
    v.shuffle = true;
    v.volume = 0.5f;
    Settings::WriteFirstRun(path, v, u'.');
    EXPECT_EQ(S(ReadBytes(path)), "[Form]\r\nTop=310\r\nLeft=-12\r\n"
                                  "[List]\r\nTop=242\r\nLeft=467\r\nRepeat=0\r\nShuffle=1\r\n"
                                  "Volume=0.5\r\n");
    Settings::WriteLast(path, 0);
    EXPECT_EQ(S(ReadBytes(path)), "[Form]\r\nTop=310\r\nLeft=-12\r\n"
                                  "[List]\r\nTop=242\r\nLeft=467\r\nRepeat=0\r\nShuffle=1\r\n"
                                  "Volume=0.5\r\nLast=0\r\n");
}

TEST_F(SettingsTest, FirstRunReplacesWhateverTheFileHeld) {
    WriteBytes(path, "[Stale]\r\nKey=1\r\n");
    SettingsValues v;
    v.volume = 0.3f;
    Settings::WriteFirstRun(path, v, u',');
    EXPECT_EQ(S(ReadBytes(path)), "[Form]\r\nTop=248\r\nLeft=384\r\n"
                                  "[List]\r\nTop=242\r\nLeft=467\r\nRepeat=0\r\nShuffle=0\r\n"
                                  "Volume=0,300000011920929\r\n");
}

TEST_F(SettingsTest, FirstRunReportsAFileThatCannotBeCreated) {
    const QString regularFile = folder + QStringLiteral("/plain.txt");
    WriteBytes(regularFile, "x");
    const QString directory = folder + QStringLiteral("/dir.ini");
    QDir().mkpath(directory);
    const struct {
        QString path;
        int err;
    } cases[] = {
        {regularFile + QStringLiteral("/Velpa.Player.settings.ini"), ENOTDIR},
        {folder + QStringLiteral("/missing/Velpa.Player.settings.ini"), ENOTDIR},
        {directory, EISDIR},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(S(c.path));
        EXPECT_EQ(ErrorOf([&] { Settings::WriteFirstRun(c.path, SettingsValues{}); }),
                  S(IoErrorText(c.err)));
    }
    EXPECT_EQ(S(ReadBytes(regularFile)), "x");
}

TEST_F(SettingsTest, ExistsOnlyForRegularFiles) {
    WriteBytes(path, "");
    QDir().mkpath(folder + QStringLiteral("/dir"));
    ASSERT_TRUE(QFile::link(path, folder + QStringLiteral("/to-file")));
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("/dir"), folder + QStringLiteral("/to-dir")));
    ASSERT_TRUE(
        QFile::link(folder + QStringLiteral("/gone"), folder + QStringLiteral("/dangling")));
    const struct {
        const char *name;
        bool exists;
    } cases[] = {
        {"Velpa.Player.settings.ini", true},
        {"to-file", true},
        {"dir", false},
        {"to-dir", false},
        {"dangling", false},
        {"missing", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Settings::Exists(folder + u'/' + QString::fromUtf8(c.name)), c.exists);
    }
    EXPECT_FALSE(Settings::Exists(QString()));
}

TEST_F(SettingsTest, ReadsValuesAndFallsBackToDefaults) {
    const struct {
        const char *content;
        char sep;
        SettingsValues expected;
        qint32 last;
    } cases[] = {
        {"", '.', {}, 0},
        {"[Form]\r\nTop=0x10\r\nLeft=abc\r\n", '.', {.formTop = 16}, 0},
        {"[List]\r\nRepeat=2\r\nShuffle=yes\r\n", '.', {.repeat = true}, 0},
        {"[List]\r\nRepeat=-1\r\nShuffle=0\r\n", '.', {.repeat = true}, 0},
        {"[List]\r\nVolume=0.5\r\n", ',', {}, 0},
        {"[List]\r\nVolume=0,5\r\n", ',', {.volume = 0.5f}, 0},
        {"[List]\r\nVolume=0.300000011920929\r\n", '.', {.volume = 0.3f}, 0},
        {"[List]\r\nVolume=7\r\n", '.', {.volume = 1.0f}, 0},
        {"[List]\r\nVolume=1e300\r\n", '.', {.volume = 1.0f}, 0},
        {"[List]\r\nVolume=-0.25\r\n", '.', {}, 0},
        {"[List]\r\nLast=-1\r\n", '.', {}, -1},
        {"[List]\r\nLast=x\r\n", '.', {}, 0},
        {"[Form]\nTop=-5\nLeft=6\n[List]\nTop=7\nLeft=8\nRepeat=1\nShuffle=1\nVolume=1\nLast=9",
         '.',
         {-5, 6, 7, 8, true, true, 1.0f},
         9},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.content);
        WriteBytes(path, c.content);
        const Settings::ReadResult read = Settings::Read(path, QChar(c.sep));
        EXPECT_EQ(Describe(read.values), Describe(c.expected));
        EXPECT_EQ(read.last, c.last);
    }
}

TEST_F(SettingsTest, AMissingFileReadsAsDefaults) {
    const Settings::ReadResult read = Settings::Read(path, u'.');
    EXPECT_EQ(Describe(read.values), Describe(SettingsValues{}));
    EXPECT_EQ(read.last, 0);
}

TEST_F(SettingsTest, WrittenValuesReadBackTheSame) {
    const SettingsValues v{-1200, 2400, kMin, kMax, true, false, 0.3f};
    Settings::WriteFirstRun(path, v, u',');
    Settings::WriteLast(path, -1);
    const Settings::ReadResult read = Settings::Read(path, u',');
    EXPECT_EQ(Describe(read.values), Describe(v));
    EXPECT_EQ(read.last, -1);
}

struct Writer {
    const char *name;
    std::function<void(const QString &)> write;
};

const std::vector<Writer> &Writers() {
    static const std::vector<Writer> writers = {
        {"last", [](const QString &p) { Settings::WriteLast(p, 5); }},
        {"main window",
         [](const QString &p) {
             Settings::WriteMainWindow(p, {1, 2, 3, 4, true, false, 0.25f}, -1, u',');
         }},
        {"playlist window",
         [](const QString &p) { Settings::WritePlaylistWindow(p, 3, 4, false, true, 6); }},
    };
    return writers;
}

TEST_F(SettingsTest, WritersAddTheirKeysInOrder) {
    const char *expected[] = {
        "[List]\r\nLast=5\r\n",
        ("[Form]\r\nTop=1\r\nLeft=2\r\n"
         "[List]\r\nTop=3\r\nLeft=4\r\nRepeat=1\r\nShuffle=0\r\nVolume=0,25\r\nLast=-1\r\n"),
        "[List]\r\nTop=3\r\nLeft=4\r\nRepeat=0\r\nShuffle=1\r\nLast=6\r\n",
    };
    for (size_t i = 0; i < Writers().size(); ++i) {
        SCOPED_TRACE(Writers()[i].name);
        WriteBytes(path, "");
        Writers()[i].write(path);
        EXPECT_EQ(S(ReadBytes(path)), expected[i]);
    }
}

TEST_F(SettingsTest, WritersChangeOnlyTheirKeysInPlace) {
    const QByteArray before = "; kept\r\n"
                              "[Form]\r\nTop=10\r\nLeft=20\r\n"
                              "[List]\r\nTop=30\r\nLeft=40\r\nRepeat=0\r\nShuffle=0\r\n"
                              "Volume=0.5\r\n"
                              "[Extra]\r\nKey=kept\r\n";
    const char *expected[] = {
        "; kept\r\n"
        "[Form]\r\nTop=10\r\nLeft=20\r\n"
        "[List]\r\nTop=30\r\nLeft=40\r\nRepeat=0\r\nShuffle=0\r\nVolume=0.5\r\nLast=5\r\n"
        "[Extra]\r\nKey=kept\r\n",
        "; kept\r\n"
        "[Form]\r\nTop=1\r\nLeft=2\r\n"
        "[List]\r\nTop=3\r\nLeft=4\r\nRepeat=1\r\nShuffle=0\r\nVolume=0,25\r\nLast=-1\r\n"
        "[Extra]\r\nKey=kept\r\n",
        "; kept\r\n"
        "[Form]\r\nTop=10\r\nLeft=20\r\n"
        "[List]\r\nTop=3\r\nLeft=4\r\nRepeat=0\r\nShuffle=1\r\nVolume=0.5\r\nLast=6\r\n"
        "[Extra]\r\nKey=kept\r\n",
    };
    for (size_t i = 0; i < Writers().size(); ++i) {
        SCOPED_TRACE(Writers()[i].name);
        WriteBytes(path, before);
        Writers()[i].write(path);
        EXPECT_EQ(S(ReadBytes(path)), expected[i]);
    }
}

TEST_F(SettingsTest, WritersDoNothingWithoutAFile) {
    const QString directory = folder + QStringLiteral("/dir.ini");
    QDir().mkpath(directory);
    for (const Writer &writer : Writers()) {
        SCOPED_TRACE(writer.name);
        writer.write(path);
        writer.write(directory);
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(QDir(directory).isEmpty());
    }
}

} // namespace
