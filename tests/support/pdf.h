#pragma once

#include <QString>

namespace testsupport {

// The text of a PDF file as pdftotext lays it out, with the fonts'
// ligatures (ﬁ, ﬂ, ...) spelled out again; empty when it cannot be read.
QString textoDoPdf(const QString &caminho);

} // namespace testsupport
