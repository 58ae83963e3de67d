#pragma once
// Whether a file declares a picture larger than the picture limit, read apart from Qt's
// readers. Generous on purpose: any size a reader could take from the file counts, since the
// suite only uses the answer to allow a refusal for size.
#include <QByteArray>

namespace fuzz {

bool DeclaresOverLimit(const QByteArray& file);

}  // namespace fuzz
