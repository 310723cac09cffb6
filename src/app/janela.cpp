#include "app/janela.h"

#include "app/mensagens.h"
#include "db/dataset.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QKeyEvent>

namespace app {

namespace {

const QString kSuporte = QStringLiteral("Corvena Sistemas - (35) 3421-0000 - suporte@corvena.com.br");

// Hands every key press to the nearest window that previews keys.
class FiltroTeclas : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *alvo, QEvent *evento) override
    {
        if (evento->type() != QEvent::KeyPress || !alvo->isWidgetType())
            return false;
        // A key the focused control ignores travels up its parents; the
        // window has seen it already, on its way in.
        auto *widget = static_cast<QWidget *>(alvo);
        QWidget *foco = QApplication::focusWidget();
        if (foco && widget != foco && widget->isAncestorOf(foco))
            return false;
        for (QWidget *w = widget; w; w = w->parentWidget()) {
            if (auto *p = dynamic_cast<PreviaTeclas *>(w)) {
                bool tratada = false;
                // a key whose handler stopped with an error is spent: the
                // control it was meant for may be gone by now
                if (!protege([&] { tratada = p->FormKeyDown(static_cast<QKeyEvent *>(evento)); }))
                    return true;
                return tratada;
            }
            // a dialog keeps its keys: they never reach the window behind it
            // (a drop-down list is a popup of its field, not a dialog)
            if (w->isWindow() && w->windowType() != Qt::Popup)
                break;
        }
        return false;
    }
};

QHash<QString, AcaoMenu> &acoes()
{
    static QHash<QString, AcaoMenu> mapa;
    return mapa;
}

} // namespace

void instalaPreviaTeclas()
{
    static QPointer<FiltroTeclas> filtro;
    if (filtro || !qApp)
        return;
    filtro = new FiltroTeclas(qApp);
    qApp->installEventFilter(filtro);
}

QString textoErro(const QString &mensagem)
{
    return mensagem + QStringLiteral("\n\n   Suporte técnico: \n   ") + kSuporte + u' ';
}

void mostraErro(const QString &mensagem)
{
    msg::erro(textoErro(mensagem));
}

bool protege(const std::function<void()> &acao)
{
    try {
        acao();
        return true;
    } catch (const db::Abort &) {
    } catch (const db::Error &e) {
        mostraErro(e.userText());
    } catch (const std::exception &e) {
        mostraErro(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void proximoCampo(QWidget *janela)
{
    QWidget *atual = QApplication::focusWidget();
    if (!atual || !janela->isAncestorOf(atual))
        atual = janela;
    // the next control in tab order that can take the focus, inside the window
    QWidget *w = atual->nextInFocusChain();
    for (int guarda = 0; w && w != atual && guarda < 10000; ++guarda) {
        if (janela->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(janela)
            && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    }
}

// ---------------------------------------------------------------------------

Janela::Janela(QWidget *pai) : QWidget(pai)
{
    setAttribute(Qt::WA_DeleteOnClose);
    instalaPreviaTeclas();
}

bool Janela::FormKeyDown(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        proximoCampo(this);
        return true;
    }
    return false;
}

void Janela::closeEvent(QCloseEvent *evento)
{
    bool fecha = false;
    protege([&] { fecha = FormClose(); });
    if (fecha) {
        m_fechada = true; // the global reference is empty from now on
        evento->accept();
    } else {
        evento->ignore();
    }
}

Dialogo::Dialogo(QWidget *pai) : QDialog(pai ? pai : QApplication::activeWindow())
{
    instalaPreviaTeclas();
}

bool Dialogo::FormKeyDown(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        proximoCampo(this);
        return true;
    }
    return false;
}

void Dialogo::closeEvent(QCloseEvent *evento)
{
    bool fecha = false;
    protege([&] { fecha = FormClose(); });
    if (fecha)
        evento->accept();
    else
        evento->ignore();
}

void Dialogo::reject()
{
    // Escape and the close box both come here: the same closing rule.
    bool fecha = false;
    protege([&] { fecha = FormClose(); });
    if (fecha)
        QDialog::reject();
}

// ---------------------------------------------------------------------------

void registraItem(const QString &item, AcaoMenu acao)
{
    acoes().insert(item, std::move(acao));
}

const AcaoMenu *acaoDoItem(const QString &item)
{
    auto it = acoes().constFind(item);
    return it == acoes().constEnd() ? nullptr : &it.value();
}

} // namespace app
