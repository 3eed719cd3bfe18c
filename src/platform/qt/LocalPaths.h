// File paths as the program holds them. Qt keeps a path as text and turns it
// into bytes for the system in the system's encoding (UTF-8): a name whose
// bytes are not valid there (a file named under a Latin-1 locale) has no text
// that gives those bytes back. Such a path names no file this program can
// open; its look-alike text (with U+FFFD where the bytes were) may name
// another file, which must not be opened in its place.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QUrl>
#include <optional>

namespace platform {

// The text of a path given as the system's bytes (a command-line argument),
// or nothing when no text turns back into exactly these bytes.
std::optional<QString> PathFromLocalBytes(QByteArrayView bytes);

// The local file a dropped URL names, or nothing when the URL is not a local
// file or its percent-encoded bytes have no text (see above).
std::optional<QString> LocalFileOfUrl(const QUrl& url);

}  // namespace platform
