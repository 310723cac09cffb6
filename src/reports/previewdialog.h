#pragma once

// The print preview of the page reports: the laid-out pages on screen,
// from which the user prints on any printer (the preview's own print
// button and page set-up), plus a "Salvar PDF" button that writes the same
// pages to a PDF file.

#include "reports/document.h"

#include <QPrintPreviewDialog>

class QAction;
class QPrinter;

namespace reports {

class PreviewDialog : public QPrintPreviewDialog
{
    Q_OBJECT

public:
    explicit PreviewDialog(Document document, QWidget *parent = nullptr);

    const Document &document() const { return m_document; }
    // The toolbar button "Salvar PDF" (objectName "acSalvarPdf").
    QAction *savePdfAction() const { return m_savePdf; }
    // Writes the pages as PDF; warns the user and gives false when it
    // cannot.
    bool saveAsPdf(const QString &path);

public Q_SLOTS:
    // Asks for the file (dialog objectName "dlgSalvarPdf") and saves.
    void savePdf();

private Q_SLOTS:
    void paintPages(QPrinter *printer);

private:
    Document m_document;
    QAction *m_savePdf = nullptr;
};

// Lays the report out and shows its preview modally until the user closes
// it.
void preview(const PageReport &report, QWidget *parent = nullptr);

} // namespace reports
