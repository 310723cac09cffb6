#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <type_traits>

class QKeyEvent;

// What every task window shares: the key preview, the closing rule (a
// window frees itself and its global reference empties), the Tag protocol
// by which a window refuses to be shown, Enter to the next field, and the
// application-wide error dialog for anything a handler throws.

namespace app {

class FrmPrincipal;

// A window that sees every key before its controls do.
class PreviaTeclas
{
public:
    virtual ~PreviaTeclas() = default;
    // Return true when the key was handled; the control never sees it.
    virtual bool FormKeyDown(QKeyEvent *evento) = 0;
};

// Installs, once, the filter that hands keys to the windows above.
void instalaPreviaTeclas();

// Shows the application-wide error dialog: the error's message, then the
// support lines.
void mostraErro(const QString &mensagem);
QString textoErro(const QString &mensagem);

// Runs a handler; db::Abort ends it quietly, any other error reaches the
// error dialog and the window stays usable. Returns false when it threw.
bool protege(const std::function<void()> &acao);

// Connects a signal to a handler run under protege().
template <class Sender, class Signal, class Fn>
QMetaObject::Connection conecta(Sender *emissor, Signal sinal, QObject *contexto, Fn &&handler)
{
    return QObject::connect(emissor, sinal, contexto,
                            [h = std::forward<Fn>(handler)](auto &&...) { protege([&] { h(); }); });
}

// Moves the focus as Enter does in every window: to the next control in
// tab order, around to the first after the last.
void proximoCampo(QWidget *janela);

// A task window: a child of the main window, maximised by default.
class Janela : public QWidget, public PreviaTeclas
{
    Q_OBJECT

public:
    explicit Janela(QWidget *pai = nullptr);

    // Set above 0 while being created to refuse being shown.
    int Tag = 0;

    bool FormKeyDown(QKeyEvent *evento) override;
    // Whether the window opens maximised in the main window.
    bool maximizada() const { return m_maximizada; }
    // Closed and about to be freed: for the menu it no longer exists.
    bool fechada() const { return m_fechada; }

protected:
    void setMaximizada(bool m) { m_maximizada = m; }
    // Asked before closing; false keeps the window open.
    virtual bool FormClose() { return true; }
    void closeEvent(QCloseEvent *evento) override;

private:
    bool m_maximizada = true;
    bool m_fechada = false;
};

// A modal window (login, choosers, dialogs) with the same key preview.
class Dialogo : public QDialog, public PreviaTeclas
{
    Q_OBJECT

public:
    explicit Dialogo(QWidget *pai = nullptr);
    int Tag = 0;
    bool FormKeyDown(QKeyEvent *evento) override;

protected:
    virtual bool FormClose() { return true; }
    void closeEvent(QCloseEvent *evento) override;
    void reject() override;
};

// --- the global reference of each window and the opening pattern -----------

template <class W>
QPointer<W> &referencia()
{
    static QPointer<W> ref;
    return ref;
}

// Whether a window is closed and waiting to be freed.
template <class W>
bool estaFechada(const W *w)
{
    if constexpr (std::is_base_of_v<Janela, W>)
        return w->fechada();
    else
        return false;
}

// The open window of this class, or nullptr.
template <class W>
W *janela()
{
    W *w = referencia<W>().data();
    return w && !estaFechada(w) ? w : nullptr;
}

// Puts a new child window in the main window's area (defined with it).
void mostraFilha(QWidget *janela, bool maximizada);
void trazParaFrente(QWidget *janela);

// Creates the window on first use (a window that sets its Tag above 0 while
// being created is closed at once and nullptr returned), otherwise brings
// the existing one to the front.
template <class W>
W *abreJanela()
{
    QPointer<W> &ref = referencia<W>();
    if (ref && !estaFechada(ref.data())) {
        trazParaFrente(ref);
        return ref;
    }
    W *w = new W();
    if (w->Tag > 0) {
        QPointer<W> guard(w);
        w->close();
        delete guard.data();
        return nullptr;
    }
    ref = w;
    mostraFilha(w, w->maximizada());
    return w;
}

// Shows a modal window: a fresh one each time, or (kept) created once and
// reused.
template <class W>
int abreModal(bool manter = false)
{
    QPointer<W> &ref = referencia<W>();
    if (!ref)
        ref = new W();
    const int r = ref->exec();
    if (!manter && ref)
        delete ref.data();
    return r;
}

// --- menu items and the windows they open ----------------------------------

// What a menu item does beyond the opening pattern's defaults: windows
// register themselves under their item's name, so the main window needs no
// knowledge of them.
struct AcaoMenu
{
    std::function<void()> abre;      // the opening pattern for the window
    std::function<bool()> existe;    // whether the window exists now
};

void registraItem(const QString &item, AcaoMenu acao);
const AcaoMenu *acaoDoItem(const QString &item);

// Registers a window class under a menu item: child window, or modal
// (kept = created once and reused).
template <class W>
struct RegistroJanela
{
    explicit RegistroJanela(const QString &item)
    {
        registraItem(item, {[] { abreJanela<W>(); }, [] { return janela<W>() != nullptr; }});
    }
};

template <class W>
struct RegistroModal
{
    RegistroModal(const QString &item, bool manter)
    {
        registraItem(item, {[manter] { abreModal<W>(manter); }, [] { return janela<W>() != nullptr; }});
    }
};

} // namespace app
