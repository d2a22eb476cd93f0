// Text files as Windows editors save them: the encodings an INI file may come in, told apart
// by byte-order mark and by whether the bytes are valid UTF-8.
#pragma once

#include <QByteArray>
#include <optional>

enum class TextEncoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Windows1252 };

struct DecodedText {
    QByteArray utf8; // the text without its byte-order mark
    TextEncoding encoding = TextEncoding::Utf8;
};

// UTF-16 (either byte order) and UTF-8 by their byte-order marks; without one, UTF-8 when the
// bytes are valid UTF-8, else the Windows-1252 code page.
DecodedText decodeText(const QByteArray& bytes);

// The UTF-8 text in `encoding`, with the byte-order mark that encoding had. Nothing when the text
// holds a character that Windows-1252 cannot hold: no character is ever replaced.
std::optional<QByteArray> encodeText(const QByteArray& utf8, TextEncoding encoding);
