#include "app/frmsobre.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace app {

namespace {
RegistroModal<Frm_Sobre> registroSobre(u"Sobre"_s, true);
RegistroModal<Frm_equipe> registroEquipe(u"Equipe_"_s, true);

// The picture of the window "Equipe", drawn rather than stored.
QPixmap figuraEquipe()
{
    QPixmap p(420, 260);
    QPainter g(&p);
    QLinearGradient fundo(0, 0, 0, 260);
    fundo.setColorAt(0, QColor(0x2d, 0x5a, 0x87));
    fundo.setColorAt(1, QColor(0x9c, 0xb9, 0xd3));
    g.fillRect(p.rect(), fundo);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPointSize(22);
    f.setBold(true);
    g.setFont(f);
    g.drawText(p.rect().adjusted(0, 40, 0, -120), Qt::AlignCenter, u"Corvena"_s);
    f.setPointSize(11);
    f.setBold(false);
    g.setFont(f);
    g.drawText(p.rect().adjusted(0, 110, 0, -70), Qt::AlignCenter, Fabricante::nome());
    return p;
}
} // namespace

QString Fabricante::nome()
{
    return u"Corvena Sistemas"_s;
}

QString Fabricante::site()
{
    return u"https://www.corvena.com.br"_s;
}

Frm_Sobre::Frm_Sobre(QWidget *pai) : Dialogo(pai)
{
    setObjectName(u"Frm_Sobre"_s);
    setWindowTitle(u"Sobre"_s);
    auto *v = new QVBoxLayout(this);
    auto *titulo = new QLabel(u"Sistema de Gestão de Laticínio"_s, this);
    titulo->setObjectName(u"Lb_Descricao"_s);
    QFont f = titulo->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    titulo->setFont(f);
    v->addWidget(titulo, 0, Qt::AlignCenter);
    auto *nome = new QLabel(u"Zuzoro da Revuzovod"_s, this);
    v->addWidget(nome, 0, Qt::AlignCenter);
    auto *fabricante = new QLabel(Fabricante::nome(), this);
    fabricante->setObjectName(u"Lb_Fabricante"_s);
    v->addWidget(fabricante, 0, Qt::AlignCenter);
    auto *site = new QLabel(Fabricante::site(), this);
    site->setObjectName(u"Lb_Site"_s);
    v->addWidget(site, 0, Qt::AlignCenter);
    auto *ok = new QPushButton(u"&OK"_s, this);
    ok->setObjectName(u"Bt_OK"_s);
    v->addWidget(ok, 0, Qt::AlignCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

Frm_equipe::Frm_equipe(QWidget *pai) : Dialogo(pai)
{
    setObjectName(u"Frm_equipe"_s);
    setWindowTitle(u"Equipe"_s);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto *figura = new QLabel(this);
    figura->setObjectName(u"Image1"_s);
    figura->setPixmap(figuraEquipe());
    v->addWidget(figura);
    Bt_Site = new QPushButton(Fabricante::site(), this);
    Bt_Site->setObjectName(u"Bt_Site"_s);
    Bt_Site->setFlat(true);
    Bt_Site->setCursor(Qt::PointingHandCursor);
    Bt_Site->setStyleSheet(u"QPushButton { border: none; padding: 6px; }"_s);
    v->addWidget(Bt_Site);
    conecta(Bt_Site, &QPushButton::clicked, this, [] { QDesktopServices::openUrl(QUrl(Fabricante::site())); });
}

} // namespace app
