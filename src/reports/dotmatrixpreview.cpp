// The preview of a dot-matrix printout (see dotmatrixpreview.h).

#include "reports/dotmatrixpreview.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace reports {

DotMatrixPreview::DotMatrixPreview(DotMatrixDocument document, QWidget *parent)
    : QDialog(parent), m_document(std::move(document))
{
    setObjectName(QStringLiteral("DotMatrixPreview"));
    setWindowTitle(m_document.caption().isEmpty() ? QStringLiteral("Visualização de Impressão") : m_document.caption());

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtPagina"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setStyleHint(QFont::Monospace);
    m_text->setFont(mono);
    const QFontMetrics metrics(mono);
    m_text->setMinimumSize(metrics.horizontalAdvance(QString(m_document.columns() + 4, u'M')),
                           metrics.lineSpacing() * 30);

    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lbPagina"));
    m_previous = new QPushButton(QStringLiteral("&Anterior"), this);
    m_previous->setObjectName(QStringLiteral("btAnterior"));
    m_next = new QPushButton(QStringLiteral("&Próxima"), this);
    m_next->setObjectName(QStringLiteral("btProxima"));
    auto *print = new QPushButton(QStringLiteral("&Imprimir"), this);
    print->setObjectName(QStringLiteral("btImprimir"));
    auto *close = new QPushButton(QStringLiteral("&Fechar"), this);
    close->setObjectName(QStringLiteral("btFechar"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addWidget(m_pageLabel);
    buttons->addWidget(m_next);
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(print, &QPushButton::clicked, this, &DotMatrixPreview::printDocument);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    showPage(0);
}

void DotMatrixPreview::showPage(int page)
{
    m_page = std::clamp(page, 0, m_document.pageCount() - 1);
    // Every row of the page, so the preview shows the page's real length.
    QStringList rows;
    for (int row = 1; row <= m_document.rows(); ++row)
        rows.append(m_document.line(m_page, row));
    m_text->setPlainText(rows.join(u'\n'));
    m_pageLabel->setText(QStringLiteral("Página %1 de %2").arg(m_page + 1).arg(m_document.pageCount()));
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < m_document.pageCount());
}

void DotMatrixPreview::printDocument()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgImprimir"));
    if (dialog.exec() == QDialog::Accepted)
        m_document.print(printer);
}

void preview(const DotMatrixDocument &document, QWidget *parent)
{
    DotMatrixPreview dialog(document, parent);
    dialog.exec();
}

} // namespace reports
