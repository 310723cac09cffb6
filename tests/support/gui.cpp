#include "support/gui.h"

#include "app/configuracao_ini.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "support/testdb.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace testsupport {

Mensagens::Mensagens()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &Mensagens::verifica);
    m_timer.start();
}

Mensagens::~Mensagens() = default;

Mensagens &Mensagens::responde(QMessageBox::StandardButton b)
{
    m_respostas.append(b);
    return *this;
}

Mensagens &Mensagens::responde(std::initializer_list<QMessageBox::StandardButton> bs)
{
    for (auto b : bs)
        m_respostas.append(b);
    return *this;
}

QStringList Mensagens::textos() const
{
    QStringList t;
    for (const Vista &v : m_vistas)
        t << v.texto;
    return t;
}

void Mensagens::verifica()
{
    auto *caixa = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!caixa || caixa->property("respondida").toBool())
        return;
    caixa->setProperty("respondida", true);
    m_vistas.append({caixa->icon(), caixa->text(), caixa->standardButtons()});
    QMessageBox::StandardButton resposta = QMessageBox::NoButton;
    if (!m_respostas.isEmpty())
        resposta = m_respostas.takeFirst();
    else if (caixa->standardButtons() & QMessageBox::Ok)
        resposta = QMessageBox::Ok;
    else if (caixa->standardButtons() & QMessageBox::No)
        resposta = QMessageBox::No;
    QAbstractButton *b = caixa->button(resposta);
    if (!b)
        b = caixa->buttons().value(0);
    QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    // the offscreen platform does not give the focus back by itself, as a
    // desktop does when a message box goes away
    if (QWidget *dono = caixa->parentWidget() ? caixa->parentWidget()->window() : nullptr) {
        QPointer<QWidget> guarda(dono);
        QTimer::singleShot(0, [guarda] {
            if (guarda)
                guarda->activateWindow();
        });
    }
}

void escreveIni(const QString *servidor)
{
    const QString caminho = scratchDir() + QStringLiteral("/Corvena.INI");
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(caminho));
    f.write("[DADOS]\n");
    if (servidor)
        f.write((QStringLiteral("SERVIDOR=") + *servidor + u'\n').toUtf8());
    f.close();
    app::defineCaminhoIni(caminho);
}

Ambiente::Ambiente(bool demo)
{
    app::zeraGlobais();
    m_caminho = freshDatabasePath(demo);
    escreveIni(&m_caminho);
    m_principal = std::make_unique<app::FrmPrincipal>();
    m_principal->resize(1200, 800);
    m_principal->show();
    m_principal->activateWindow();
    if (!QTest::qWaitForWindowActive(m_principal.get()))
        qWarning("the main window did not become active");
}

Ambiente::~Ambiente()
{
    // close whatever the test left open, answering any question with Yes
    Mensagens m;
    for (int i = 0; i < 5; ++i)
        m.responde(QMessageBox::Yes);
    m_principal->areaJanelas()->closeAllSubWindows();
    QApplication::processEvents();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != m_principal.get() && w->isVisible())
            w->close();
    }
    m_principal.reset();
    QApplication::processEvents();
    app::zeraGlobais();
}

db::Connection &Ambiente::conexao()
{
    return *m_principal->DB_Corvena;
}

std::unique_ptr<db::Connection> Ambiente::outraConexao() const
{
    return db::Connection::open(m_caminho);
}

void Ambiente::menu(const QString &item)
{
    QAction *a = m_principal->itemMenu(item);
    if (!a)
        qFatal("no menu item %s", qPrintable(item));
    a->trigger();
}

void tecla(QWidget *janela, int key, Qt::KeyboardModifiers mods)
{
    QWidget *alvo = QApplication::focusWidget();
    if (!alvo || !(alvo == janela || janela->isAncestorOf(alvo)))
        alvo = janela;
    QTest::keyClick(alvo, static_cast<Qt::Key>(key), mods);
}

void digita(QWidget *campo, const QString &texto)
{
    // key by key, accented letters too (QTest::keyClicks takes ASCII only)
    for (const QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(campo, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace testsupport
