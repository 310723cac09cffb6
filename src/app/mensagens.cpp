#include "app/mensagens.h"

#include <QAbstractButton>
#include <QApplication>

namespace app::msg {

namespace {

QString titulo(QMessageBox::Icon icone)
{
    switch (icone) {
    case QMessageBox::Information:
        return QStringLiteral("Informação");
    case QMessageBox::Warning:
        return QStringLiteral("Aviso");
    case QMessageBox::Critical:
        return QStringLiteral("Erro");
    case QMessageBox::Question:
        return QStringLiteral("Confirmação");
    default:
        return QApplication::applicationName();
    }
}

} // namespace

int mostra(QMessageBox::Icon icone, const QString &texto, QMessageBox::StandardButtons botoes, QWidget *pai)
{
    if (!pai)
        pai = QApplication::activeWindow();
    QMessageBox caixa(icone, titulo(icone), texto, botoes, pai);
    caixa.setObjectName(QStringLiteral("Mensagem"));
    if (auto *b = caixa.button(QMessageBox::Ok))
        b->setText(QStringLiteral("&OK"));
    if (auto *b = caixa.button(QMessageBox::Yes))
        b->setText(QStringLiteral("&Sim"));
    if (auto *b = caixa.button(QMessageBox::No))
        b->setText(QStringLiteral("&Não"));
    if (auto *b = caixa.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("Cancela"));
    if (botoes.testFlag(QMessageBox::Yes))
        caixa.setDefaultButton(QMessageBox::Yes);
    return caixa.exec();
}

void informacao(const QString &texto, QWidget *pai)
{
    mostra(QMessageBox::Information, texto, QMessageBox::Ok, pai);
}

void aviso(const QString &texto, QWidget *pai)
{
    mostra(QMessageBox::Warning, texto, QMessageBox::Ok, pai);
}

void erro(const QString &texto, QWidget *pai)
{
    mostra(QMessageBox::Critical, texto, QMessageBox::Ok, pai);
}

bool confirma(const QString &texto, QWidget *pai)
{
    return pergunta(texto, QMessageBox::Question, pai);
}

bool pergunta(const QString &texto, QMessageBox::Icon icone, QWidget *pai)
{
    return mostra(icone, texto, QMessageBox::Yes | QMessageBox::No, pai) == QMessageBox::Yes;
}

} // namespace app::msg
