#pragma once

#include "app/janela.h"

class QPushButton;

namespace app {

// The maker of the system, shown by "Sobre" and "Equipe".
struct Fabricante
{
    static QString nome();
    static QString site();
};

// "Sobre": what the system is and who made it.
class Frm_Sobre : public Dialogo
{
    Q_OBJECT

public:
    explicit Frm_Sobre(QWidget *pai = nullptr);
};

// "Equipe": a picture of the team; the button across its lower part opens
// the maker's web site in the default browser.
class Frm_equipe : public Dialogo
{
    Q_OBJECT

public:
    explicit Frm_equipe(QWidget *pai = nullptr);
    QPushButton *Bt_Site = nullptr;
};

} // namespace app
