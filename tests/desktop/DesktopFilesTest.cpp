// The installed files agree with the program: the desktop entry offers the
// player for exactly the files its open dialogs offer, and the AppStream data
// and the MPRIS interface say the same.
#include "desktop/MprisClient.h"

#include "app/Application.h"
#include "app/Mpris.h"
#include "support/FakeEngine.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"
#include "ui/Unit1.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

const QString kDesktopDir = QStringLiteral(VELPA_DESKTOP_DIR);

QSet<QString> SetOf(const QStringList &list) {
    return QSet<QString>(list.cbegin(), list.cend());
}

// The desktop entry's keys of its main group (untranslated).
QMap<QString, QString> DesktopEntry() {
    QFile file(kDesktopDir + "/velpa-player.desktop");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QMap<QString, QString> keys;
    bool inEntry = false;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('['))
            inEntry = line == "[Desktop Entry]";
        else if (inEntry && line.contains('=') && !line.startsWith('#'))
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
    }
    return keys;
}

QStringList DesktopList(const QString &value) {
    return value.split(';', Qt::SkipEmptyParts);
}

// The texts of every element of that name in the AppStream file.
QStringList MetainfoTexts(const QString &element) {
    QFile file(kDesktopDir + "/org.example.velpa.Player.metainfo.xml");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            texts << xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

TEST(DesktopFiles, TheEntryOffersThePlayerForEveryKindOfFileTheOpenDialogOffers) {
    const QStringList mimeTypes = DesktopList(DesktopEntry().value("MimeType"));
    const QString all = MediaFileFilters().constFirst();
    static const QRegularExpression mask(QStringLiteral(R"(\*(\.\w+))"));
    QMimeDatabase db;
    int extensions = 0;
    for (auto it = mask.globalMatch(all); it.hasNext(); ++extensions) {
        const QString name = "x" + it.next().captured(1);
        const QMimeType type = db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
        EXPECT_TRUE(mimeTypes.contains(type.name()))
            << name.toStdString() << " is " << type.name().toStdString();
    }
    EXPECT_EQ(extensions, 8);
}

TEST(DesktopFiles, TheEntryStartsThePlayerWithTheFilesOrLinksGiven) {
    const QMap<QString, QString> entry = DesktopEntry();
    EXPECT_EQ(entry.value("Exec"), "velpa-player %U") << "files and links, all in one player";
    EXPECT_EQ(entry.value("Icon"), "velpa-player");
    EXPECT_TRUE(SetOf(DesktopList(entry.value("Categories")))
                    .contains(QSet<QString>{"AudioVideo", "Player"}));
}

TEST(DesktopFiles, AppStreamDescribesTheSameEntryAndTypes) {
    EXPECT_EQ(MetainfoTexts("launchable"), QStringList{"velpa-player.desktop"});
    EXPECT_EQ(MetainfoTexts("binary"), QStringList{"velpa-player"});
    EXPECT_EQ(SetOf(MetainfoTexts("mediatype")),
              SetOf(DesktopList(DesktopEntry().value("MimeType"))));
}

TEST(DesktopFiles, TheBusNamesTheSameEntryAndTypes) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    FakeEngine engine;
    CreateForms(&engine);
    {
        Mpris mpris(*Form1);
        ASSERT_TRUE(mpris.publish(QDBusConnection::sessionBus()));
        MprisClient bus;
        EXPECT_EQ(bus.property("DesktopEntry", kMprisRootInterface).toString() + ".desktop",
                  "velpa-player.desktop");
        EXPECT_EQ(SetOf(bus.property("SupportedMimeTypes", kMprisRootInterface).toStringList()),
                  SetOf(DesktopList(DesktopEntry().value("MimeType"))));
    }
    DestroyForms();
}

} // namespace
