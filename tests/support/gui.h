#pragma once

#include "db/database.h"

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

namespace app {
class FrmPrincipal;
}

namespace testsupport {

// Answers the message boxes that come up while it lives, in order, and
// keeps what each said. Boxes beyond the queued answers get OK (or No when
// there is no OK).
class Mensagens : public QObject
{
    Q_OBJECT

public:
    struct Vista
    {
        QMessageBox::Icon icone;
        QString texto;
        QMessageBox::StandardButtons botoes;
    };

    Mensagens();
    ~Mensagens() override;
    // Queues answers for the next boxes.
    Mensagens &responde(QMessageBox::StandardButton b);
    Mensagens &responde(std::initializer_list<QMessageBox::StandardButton> bs);

    const QList<Vista> &vistas() const { return m_vistas; }
    QStringList textos() const;
    QString ultimo() const { return m_vistas.isEmpty() ? QString() : m_vistas.last().texto; }
    int quantas() const { return static_cast<int>(m_vistas.size()); }
    void limpa() { m_vistas.clear(); }

private:
    void verifica();

    QTimer m_timer;
    QList<QMessageBox::StandardButton> m_respostas;
    QList<Vista> m_vistas;
};

// Runs `acao` on the next modal window of class W that opens (a chooser, a
// dialog), from inside its own event loop.
template <class W>
void quandoAbrir(std::function<void(W *)> acao, int tentativas = 300)
{
    auto *t = new QTimer;
    t->setInterval(10);
    auto restantes = std::make_shared<int>(tentativas);
    QObject::connect(t, &QTimer::timeout, [t, acao, restantes] {
        if (--*restantes < 0) {
            t->deleteLater();
            return;
        }
        if (auto *w = qobject_cast<W *>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            acao(w);
        }
    });
    t->start();
}

// The program as a user sees it, over a fresh database: Corvena.INI of its
// own, the main window built (connected, company open, cash day read), no
// login. Everything is torn down again at the end.
class Ambiente
{
public:
    explicit Ambiente(bool demo = true);
    ~Ambiente();
    app::FrmPrincipal &principal() { return *m_principal; }
    db::Connection &conexao();
    QString caminho() const { return m_caminho; }
    // A second connection to the same database ("another workstation").
    std::unique_ptr<db::Connection> outraConexao() const;
    // Clicks a menu item by its name.
    void menu(const QString &item);

private:
    QString m_caminho;
    std::unique_ptr<app::FrmPrincipal> m_principal;
};

// Writes Corvena.INI with the given SERVIDOR (or no key at all) in a folder
// of the test program and points the program at it.
void escreveIni(const QString *servidor);

// Sends a key to the focused widget of the window (or the window itself).
void tecla(QWidget *janela, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Types text into a widget, key by key, accented letters included.
void digita(QWidget *campo, const QString &texto);

} // namespace testsupport
