#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// An INI file read and changed the way the Windows profile functions treat one, so that files
// written by the Windows versions of the player keep their meaning and their look: section and
// key names match regardless of letter case and of blanks around them, the first of duplicate
// sections or keys is the one that counts, and lines the player does not change (comments,
// foreign sections, blank lines) are written back byte for byte.
class ProfileFile {
public:
    // Reads the file if there is one; a missing file is an empty profile.
    explicit ProfileFile(const QString &path);

    const QString &path() const { return m_path; }

    // A value enclosed in a matching pair of double or single quotes is given without them.
    QString readString(const QString &section, const QString &key, const QString &def) const;

    // Changes the profile in memory only. An existing key keeps its line's position; a new key
    // follows the last key of its section; a missing section is added at the end of the file.
    // Neither argument may contain a line break.
    void writeString(const QString &section, const QString &key, const QString &value);

    // Replaces the file as a whole (CR LF line ends, UTF-8 without a byte-order mark) through a
    // temporary file in the same folder, so a crash or a full disk leaves the old file intact.
    // Throws AppError("Unable to write to <path>") when that fails.
    void save() const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray bytes; // as read, without the line end
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed, quotes kept
    };

    static Line parseLine(const QByteArray &bytes);
    // The header's index and the index just past the section's last line.
    std::optional<std::pair<qsizetype, qsizetype>> findSection(const QString &section) const;
    qsizetype findKey(std::pair<qsizetype, qsizetype> range, const QString &key) const;

    QString m_path;
    QList<Line> m_lines;
    // A file that exists but could not be read is never overwritten by what little we know of
    // it; the profile functions refuse to write to such a file as well.
    bool m_unreadable = false;
};
