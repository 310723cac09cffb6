#pragma once

#include <QString>
#include <QVector>

namespace app {

struct ItemMenu
{
    QString nome;    // component name, "N6" style for separators
    QString legenda; // caption exactly as shown; "-" for separators
    int nivel;       // 1 = menu bar, 2 = inside it, 3 = inside a level-2 submenu
    QString janela;  // class of the window it opens, empty for submenus and "Sair"
    QString titulo;  // that window's caption
    bool modal;
};

const QVector<ItemMenu> &itensDoMenu();

} // namespace app
