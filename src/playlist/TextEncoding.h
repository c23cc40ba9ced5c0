#pragma once

// The encoding a playlist was loaded with; it is written back the same way.
enum class TextEncoding {
    Plain,   // no byte-order mark: UTF-8, the system encoding here
    Latin1,  // no mark and not valid UTF-8: bytes kept one to one so a save changes nothing
    Utf8Bom, // EF BB BF
    Utf16LE, // FF FE
    Utf16BE, // FE FF
};
