#include "app/campos.h"

#include "app/rotinas.h"
#include "db/dataset.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QWidgetAction>

namespace app {

QString maiusculas(const QString &texto)
{
    return texto.toUpper();
}

// ---------------------------------------------------------------------------

EditTexto::EditTexto(QWidget *pai) : QLineEdit(pai) {}

void EditTexto::keyPressEvent(QKeyEvent *evento)
{
    const QString t = evento->text();
    if (m_maiusculas && !t.isEmpty() && t != t.toUpper() && !(evento->modifiers() & Qt::ControlModifier)) {
        QKeyEvent maiuscula(evento->type(), evento->key(), evento->modifiers(), t.toUpper(), evento->isAutoRepeat(),
                            static_cast<ushort>(evento->count()));
        QLineEdit::keyPressEvent(&maiuscula);
        return;
    }
    QLineEdit::keyPressEvent(evento);
}

void EditTexto::inputMethodEvent(QInputMethodEvent *evento)
{
    // dead keys and compose sequences arrive here (á, ç, ã ...)
    if (m_maiusculas && !evento->commitString().isEmpty()) {
        QInputMethodEvent e(evento->preeditString(), evento->attributes());
        e.setCommitString(evento->commitString().toUpper(), evento->replacementStart(), evento->replacementLength());
        QLineEdit::inputMethodEvent(&e);
        return;
    }
    QLineEdit::inputMethodEvent(evento);
}

// ---------------------------------------------------------------------------

EditDecimal::EditDecimal(QWidget *pai, int decimais) : QLineEdit(pai), m_decimais(decimais)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void EditDecimal::keyPressEvent(QKeyEvent *evento)
{
    const QString t = evento->text();
    if (t == QStringLiteral(".") || t == QStringLiteral(",")) {
        if (!text().contains(u',') || selectedText().contains(u','))
            insert(QStringLiteral(","));
        return;
    }
    if (t.size() == 1 && t[0].isLetter())
        return; // letters have no place in an amount
    QLineEdit::keyPressEvent(evento);
}

std::optional<db::Decimal> EditDecimal::valor() const
{
    if (text().trimmed().isEmpty())
        return std::nullopt;
    return DecimalDoTexto(text(), m_decimais);
}

db::Decimal EditDecimal::valorOuZero() const
{
    return valor().value_or(db::Decimal(0, m_decimais));
}

void EditDecimal::setValor(const std::optional<db::Decimal> &v)
{
    if (!v) {
        setText(QString());
        return;
    }
    setText(m_formato.isEmpty() ? v->rescaled(m_decimais).toBrazilian() : db::formatNumber(*v, m_formato));
}

// ---------------------------------------------------------------------------

EditData::EditData(QWidget *pai) : QWidget(pai)
{
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    m_editor = new QLineEdit(this);
    m_editor->setObjectName(QStringLiteral("editor"));
    m_editor->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    m_editor->setMaxLength(10);
    m_botao = new QToolButton(this);
    m_botao->setText(QStringLiteral("..."));
    m_botao->setFocusPolicy(Qt::NoFocus);
    l->addWidget(m_editor, 1);
    l->addWidget(m_botao);
    setFocusProxy(m_editor);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_botao, &QToolButton::clicked, this, &EditData::abreCalendario);
    connect(m_editor, &QLineEdit::textEdited, this, &EditData::dataAlterada);
    connect(m_editor, &QLineEdit::editingFinished, this, [this] {
        // a complete date is shown in full once typed
        const QDate d = interpreta(m_editor->text());
        if (d.isValid())
            m_editor->setText(d.toString(QStringLiteral("dd/MM/yyyy")));
        Q_EMIT editingFinished();
    });
}

QDate EditData::interpreta(const QString &texto)
{
    QString t = texto.trimmed();
    if (t.isEmpty())
        return {};
    int d = 0, m = 0, a = 0;
    static const QRegularExpression comBarras(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})$"));
    static const QRegularExpression soDigitos(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
    QRegularExpressionMatch r = comBarras.match(t);
    if (!r.hasMatch())
        r = soDigitos.match(t);
    if (!r.hasMatch())
        return {};
    d = r.captured(1).toInt();
    m = r.captured(2).toInt();
    a = r.captured(3).toInt();
    if (r.captured(3).size() == 2)
        a += a < 50 ? 2000 : 1900;
    return QDate(a, m, d);
}

QDate EditData::data() const
{
    return interpreta(m_editor->text());
}

void EditData::setData(const QDate &d)
{
    m_editor->setText(d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

QString EditData::texto() const
{
    return m_editor->text();
}

void EditData::setTexto(const QString &t)
{
    m_editor->setText(t);
}

void EditData::setReadOnly(bool ro)
{
    m_editor->setReadOnly(ro);
    m_botao->setEnabled(!ro);
}

void EditData::abreCalendario()
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto *cal = new QCalendarWidget(menu);
    cal->setSelectedDate(data().isValid() ? data() : QDate::currentDate());
    auto *acao = new QWidgetAction(menu);
    acao->setDefaultWidget(cal);
    menu->addAction(acao);
    connect(cal, &QCalendarWidget::activated, menu, [this, menu](const QDate &d) {
        setData(d);
        Q_EMIT dataAlterada();
        Q_EMIT editingFinished();
        menu->close();
    });
    connect(cal, &QCalendarWidget::clicked, menu, [this, menu](const QDate &d) {
        setData(d);
        Q_EMIT dataAlterada();
        Q_EMIT editingFinished();
        menu->close();
    });
    menu->popup(mapToGlobal(QPoint(0, height())));
}

// ---------------------------------------------------------------------------

EditMascara::EditMascara(const QString &mascara, QWidget *pai) : QLineEdit(pai)
{
    setInputMask(mascara);
}

QString EditMascara::digitos() const
{
    QString d;
    for (QChar c : text()) {
        if (c.isDigit())
            d += c;
    }
    return d;
}

void EditMascara::setDigitos(const QString &digitos)
{
    setText(digitos); // the mask places them
}

} // namespace app
