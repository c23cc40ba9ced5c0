#pragma once

#include "playlist/EntryList.h"
#include "playlist/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The playlist file: one entry per line, CR LF after each, in the encoding
// (and with the byte-order mark) it was loaded with.
namespace PlaylistFile {

QString FileName(); // "Velpa.Player.listbox.ini"

// The one line of a newly made playlist: a short sample clip that plays over
// plain http.
extern const QString kSampleEntry;

struct Decoded {
    QStringList entries;
    TextEncoding encoding = TextEncoding::Plain;
};

// Marks are tested in the order UTF-8, UTF-16 LE, UTF-16 BE; without one the
// bytes are UTF-8 (kept byte for byte as Latin-1 when they are not valid
// UTF-8). Lines end at CR LF, a lone CR or a lone LF; a line end at the very
// end adds no empty entry.
Decoded Decode(const QByteArray &bytes);
QByteArray Encode(const QStringList &entries, TextEncoding encoding);

// The same, for the packed list the playlist keeps.
struct DecodedList {
    EntryList entries;
    TextEncoding encoding = TextEncoding::Plain;
};
DecodedList DecodeList(const QByteArray &bytes);
DecodedList DecodeList(QByteArrayView bytes);
QByteArray EncodeList(const EntryList &entries, TextEncoding encoding);

// Raise AppError with the run-time library's texts:
// Load: Cannot open file "<path>". <reason>
// Save: Cannot create file "<path>". <reason>
// WriteSample: the input/output error ("File access denied", "Disk full", ...)
Decoded Load(const QString &path);
DecodedList LoadList(const QString &path);
void Save(const QString &path, const QStringList &entries, TextEncoding encoding);
void SaveList(const QString &path, const EntryList &entries, TextEncoding encoding);
void WriteSample(const QString &path);

} // namespace PlaylistFile
