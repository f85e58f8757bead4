#pragma once
// The web remote's page in the operator's language, made once when the server
// starts. The page marks what it shows with {{name}}: in its HTML each mark
// becomes a text, HTML-escaped; {{lang}} becomes the language's code; and
// {{texts}}, in its script, the object of the texts the script shows itself
// (as JSON, safe inside a script element). A mark with a name not known here
// stays as it is. The translations live here, in the program, so the page has
// no copy of its own.
//
// Any thread but the output thread.

#include <QByteArray>

namespace orvane {

QByteArray localisedPage(const QByteArray& page);

} // namespace orvane
