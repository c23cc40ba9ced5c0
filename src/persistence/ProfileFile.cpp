#include "persistence/ProfileFile.h"

#include "persistence/AtomicFile.h"

#include "app/Errors.h"

#include <QFile>

ProfileFile::ProfileFile(const QString &path) : m_path(path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = file.exists();
        return;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_unreadable = true;
        return;
    }
    // Editors on Windows like to put a byte-order mark in front; the section header behind it
    // must still be found.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines.append(parseLine(line));
        start = end + 1;
    }
}

ProfileFile::Line ProfileFile::parseLine(const QByteArray &bytes) {
    Line line;
    line.bytes = bytes;
    const QString text = QString::fromUtf8(bytes).trimmed();
    if (text.isEmpty() || text.startsWith(u';'))
        return line;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = text.mid(1, close - 1).trimmed();
            return line;
        }
    }
    // Like the profile functions, a line without "=" is a key with an empty value: writing
    // that key fills in the line instead of adding a second one.
    line.kind = Kind::Key;
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0) {
        line.name = text;
    } else {
        line.name = text.left(equals).trimmed();
        line.value = text.mid(equals + 1).trimmed();
    }
    return line;
}

std::optional<std::pair<qsizetype, qsizetype>>
ProfileFile::findSection(const QString &section) const {
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section ||
            m_lines[i].name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

qsizetype ProfileFile::findKey(std::pair<qsizetype, qsizetype> range, const QString &key) const {
    const QString wanted = key.trimmed();
    for (qsizetype i = range.first + 1; i < range.second; ++i) {
        if (m_lines[i].kind == Kind::Key &&
            m_lines[i].name.compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &def) const {
    const auto range = findSection(section);
    if (!range)
        return def;
    const qsizetype index = findKey(*range, key);
    if (index < 0)
        return def;
    const QString &value = m_lines[index].value;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value) {
    const auto range = findSection(section);
    if (!range) {
        m_lines.append(parseLine((u'[' + section + u']').toUtf8()));
        m_lines.append(parseLine((key + u'=' + value).toUtf8()));
        return;
    }
    const qsizetype index = findKey(*range, key);
    if (index >= 0) {
        // The name keeps the spelling the file already has.
        m_lines[index] = parseLine((m_lines[index].name + u'=' + value).toUtf8());
        return;
    }
    // Comments and blank lines that close a section stay below its keys.
    qsizetype insertAt = range->first + 1;
    for (qsizetype i = range->first + 1; i < range->second; ++i) {
        if (m_lines[i].kind == Kind::Key)
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, parseLine((key + u'=' + value).toUtf8()));
}

void ProfileFile::save() const {
    const auto failure = [this] {
        return AppError(QStringLiteral("Unable to write to ") + m_path);
    };
    if (m_unreadable)
        throw failure();

    QByteArray bytes;
    for (const Line &line : m_lines) {
        bytes += line.bytes;
        bytes += "\r\n";
    }
    if (WriteFileAtomically(m_path, bytes) != 0)
        throw failure();
}
