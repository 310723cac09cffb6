#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The system's message dialogs: one icon, fixed buttons, Portuguese button
// texts. Every window shows its messages through these, so tests can find
// and answer them as the active QMessageBox.
namespace app::msg {

// Information icon, OK.
void informacao(const QString &texto, QWidget *pai = nullptr);
// Warning icon, OK.
void aviso(const QString &texto, QWidget *pai = nullptr);
// Error icon, OK.
void erro(const QString &texto, QWidget *pai = nullptr);
// Confirmation (question) icon, Yes and No; true on Yes.
bool confirma(const QString &texto, QWidget *pai = nullptr);
// Yes and No with another icon (some questions carry the information icon).
bool pergunta(const QString &texto, QMessageBox::Icon icone, QWidget *pai = nullptr);

// The dialog itself, for callers that need other buttons.
int mostra(QMessageBox::Icon icone, const QString &texto, QMessageBox::StandardButtons botoes,
           QWidget *pai = nullptr);

} // namespace app::msg
