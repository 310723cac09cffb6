// The print preview of the page reports, with its "Salvar PDF" button
// (see previewdialog.h).

#include "reports/previewdialog.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>

namespace reports {

PreviewDialog::PreviewDialog(Document document, QWidget *parent)
    : QPrintPreviewDialog(parent), m_document(std::move(document))
{
    setWindowTitle(m_document.caption.isEmpty() ? QStringLiteral("Visualização de Impressão") : m_document.caption);
    QPrinter *p = printer();
    p->setFullPage(true);
    p->setDocName(m_document.caption);
    p->setPageLayout(QPageLayout(QPageSize(m_document.paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter),
                                 m_document.orientation == Orientation::Landscape ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait,
                                 QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    connect(this, &QPrintPreviewDialog::paintRequested, this, &PreviewDialog::paintPages);

    m_savePdf = new QAction(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Salvar PDF"), this);
    m_savePdf->setObjectName(QStringLiteral("acSalvarPdf"));
    m_savePdf->setToolTip(QStringLiteral("Salva o relatório em um arquivo PDF"));
    connect(m_savePdf, &QAction::triggered, this, &PreviewDialog::savePdf);
    if (QToolBar *bar = findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(m_savePdf);
    } else {
        addAction(m_savePdf);
    }
}

void PreviewDialog::paintPages(QPrinter *target)
{
    m_document.print(target);
}

bool PreviewDialog::saveAsPdf(const QString &path)
{
    QString error;
    if (m_document.writePdf(path, &error))
        return true;
    QMessageBox::warning(this, windowTitle(), error);
    return false;
}

void PreviewDialog::savePdf()
{
    QString name = m_document.caption.isEmpty() ? QStringLiteral("relatorio") : m_document.caption;
    for (const QChar c : QStringLiteral("/\\:*?\"<>|"))
        name.replace(c, u'_');
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(this, QStringLiteral("Salvar relatório como PDF"), QDir(folder).filePath(name + QStringLiteral(".pdf")),
                       QStringLiteral("Arquivos PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("dlgSalvarPdf"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    saveAsPdf(dialog.selectedFiles().constFirst());
}

void preview(const PageReport &report, QWidget *parent)
{
    PreviewDialog dialog(report.layout(), parent);
    dialog.exec();
}

} // namespace reports
