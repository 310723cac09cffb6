#pragma once

// The preview of a dot-matrix printout: its pages as fixed-pitch text, one
// page at a time, with buttons to move between pages and to print on a
// printer chosen in the system's print dialog.

#include "reports/dotmatrix.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace reports {

class DotMatrixPreview : public QDialog
{
    Q_OBJECT

public:
    explicit DotMatrixPreview(DotMatrixDocument document, QWidget *parent = nullptr);

    const DotMatrixDocument &document() const { return m_document; }
    int shownPage() const { return m_page; } // 0-based
    void showPage(int page);

public Q_SLOTS:
    // Opens the print dialog and prints on the printer chosen there.
    void printDocument();

private:
    DotMatrixDocument m_document;
    int m_page = 0;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_pageLabel = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
};

// Shows the printout's preview modally until the user closes it.
void preview(const DotMatrixDocument &document, QWidget *parent = nullptr);

} // namespace reports
