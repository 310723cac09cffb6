#pragma once

#include "db/decimal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>

#include <optional>

class QToolButton;

// The input widgets of every window: letters in upper case while typing,
// the decimal comma, dates that may stay empty, masks that store digits.
// Each can be tied to a field of a cached dataset (see camposdb.h).

namespace app {

// Text; letters (accented ones too) become upper case as they are typed.
class EditTexto : public QLineEdit
{
    Q_OBJECT

public:
    explicit EditTexto(QWidget *pai = nullptr);
    void setMaiusculas(bool on) { m_maiusculas = on; }
    bool maiusculas() const { return m_maiusculas; }

protected:
    void keyPressEvent(QKeyEvent *evento) override;
    void inputMethodEvent(QInputMethodEvent *evento) override;

private:
    bool m_maiusculas = true;
};

// A decimal amount with the Brazilian comma: "." typed becomes ",";
// thousands points are accepted when the text is read.
class EditDecimal : public QLineEdit
{
    Q_OBJECT

public:
    explicit EditDecimal(QWidget *pai = nullptr, int decimais = 2);
    int decimais() const { return m_decimais; }
    void setDecimais(int d) { m_decimais = d; }
    // Empty when the box is blank; the number otherwise (what cannot be
    // read is 0, as ValorDoTexto reads it).
    std::optional<db::Decimal> valor() const;
    db::Decimal valorOuZero() const;
    void setValor(const std::optional<db::Decimal> &v);
    // Shows thousands points and fixed decimals when not editing.
    void setFormatoExibicao(const QString &formato) { m_formato = formato; }

protected:
    void keyPressEvent(QKeyEvent *evento) override;

private:
    int m_decimais;
    QString m_formato;
};

// A date that may be empty; two-digit years are read as 1950–2049.
// Accepts "dd/mm/aa", "dd/mm/aaaa", "ddmmaa" and "ddmmaaaa".
class EditData : public QWidget
{
    Q_OBJECT

public:
    explicit EditData(QWidget *pai = nullptr);
    QDate data() const;
    void setData(const QDate &d);
    QString texto() const;
    void setTexto(const QString &t);
    bool vazia() const { return texto().trimmed().isEmpty(); }
    QLineEdit *editor() const { return m_editor; }
    void setReadOnly(bool ro);

    // The reading of a typed date, for every window.
    static QDate interpreta(const QString &texto);

Q_SIGNALS:
    void dataAlterada();
    void editingFinished();

private:
    void abreCalendario();

    QLineEdit *m_editor;
    QToolButton *m_botao;
};

// A masked text (CPF, telephone) whose value is only its digits.
class EditMascara : public QLineEdit
{
    Q_OBJECT

public:
    EditMascara(const QString &mascara, QWidget *pai = nullptr);
    QString digitos() const;
    void setDigitos(const QString &digitos);
};

// "S" when ticked, "N" otherwise.
class CaixaSN : public QCheckBox
{
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;
    QString valorSN() const { return isChecked() ? QStringLiteral("S") : QStringLiteral("N"); }
    void setValorSN(const QString &v) { setChecked(v.trimmed() == QStringLiteral("S")); }
};

// Upper case of a text as the edits make it.
QString maiusculas(const QString &texto);

} // namespace app
