#pragma once

#include "app/campos.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QObject>
#include <QPointer>
#include <QTableView>
#include <QStyledItemDelegate>

#include <functional>

namespace db {
class Dataset;
class DatasetModel;
} // namespace db

class QLabel;
class QToolButton;

// Widgets tied to a field of a cached dataset: they show the current row's
// value, and what the user types goes into the row being inserted or
// altered (at the latest when it is posted).

namespace app {

// The tie itself; owned by the widget.
class LigacaoCampo : public QObject
{
    Q_OBJECT

public:
    // Without `le` the widget only shows the field.
    LigacaoCampo(QWidget *widget, db::Dataset *dataset, const QString &campo,
                 std::function<void(const QVariant &)> mostra, std::function<QVariant()> le);
    db::Dataset *dataset() const { return m_dataset; }
    const QString &campo() const { return m_campo; }
    // Dataset to widget.
    void atualiza();
    // Widget to dataset, when the dataset is editing.
    void grava();
    // Called by the widget whenever the user changes it.
    void editado() { grava(); }
    // Runs once the dataset is open and the field known (widths, limits).
    std::function<void()> aoAbrir;

private:
    QPointer<db::Dataset> m_dataset;
    QString m_campo;
    std::function<void(const QVariant &)> m_mostra;
    std::function<QVariant()> m_le;
    bool m_gravando = false;
    bool m_mostrando = false;
};

// The tie of a widget, if it has one.
LigacaoCampo *ligacaoDe(QWidget *widget);

// Ties for each kind of input widget. Text edits take the column's width as
// their limit.
LigacaoCampo *liga(EditTexto *edit, db::Dataset *ds, const QString &campo);
LigacaoCampo *liga(EditDecimal *edit, db::Dataset *ds, const QString &campo);
LigacaoCampo *liga(EditData *edit, db::Dataset *ds, const QString &campo);
// Stores only the digits.
LigacaoCampo *liga(EditMascara *edit, db::Dataset *ds, const QString &campo);
LigacaoCampo *liga(CaixaSN *caixa, db::Dataset *ds, const QString &campo);
// A fixed list: stores the item's first `prefixo` characters (all of it when
// 0) and shows the item that starts with the stored value.
LigacaoCampo *liga(QComboBox *lista, db::Dataset *ds, const QString &campo, int prefixo = 0);
// A read-only label showing the value with a display format.
LigacaoCampo *liga(QLabel *rotulo, db::Dataset *ds, const QString &campo, const QString &formato = {});
// A picture (BLOB) shown stretched in a label.
LigacaoCampo *ligaImagem(QLabel *imagem, db::Dataset *ds, const QString &campo);

// A new input widget, named, tied to a column of the dataset and put on the
// next row of a group of fields; constructor arguments (a mask, a caption)
// come last.
template <class W, class... Args>
W *campoLigado(QFormLayout *grupo, db::Dataset *ds, const QString &nome, const QString &rotulo,
               const QString &coluna, int largura, Args &&...args)
{
    auto *w = new W(std::forward<Args>(args)...);
    w->setObjectName(nome);
    if (largura > 0)
        w->setMaximumWidth(largura);
    grupo->addRow(rotulo, w);
    liga(w, ds, coluna);
    return w;
}

// The text a required-field check reads from any input widget.
QString textoDoCampo(const QWidget *campo);

// A drop-down list of the rows of another dataset: shows one column, stores
// the key column.
class ComboLookup : public QComboBox
{
    Q_OBJECT

public:
    explicit ComboLookup(QWidget *pai = nullptr);
    void setLista(db::Dataset *lista, const QString &campoChave, const QString &campoExibido);
    QVariant chave() const;
    void setChave(const QVariant &chave);
    // Fills the list again from the dataset (it follows its reopening).
    void recarrega();

Q_SIGNALS:
    void escolhido();

private:
    QPointer<db::Dataset> m_lista;
    QString m_chave, m_exibido;
    bool m_carregando = false;
};
LigacaoCampo *liga(ComboLookup *lookup, db::Dataset *ds, const QString &campo);

// A key chosen in a selection dialog: shows the key (or a description) and
// opens the dialog with its button or F2/space.
class CampoEscolha : public QWidget
{
    Q_OBJECT

public:
    struct Coluna
    {
        QString campo;
        QString titulo;
    };
    explicit CampoEscolha(QWidget *pai = nullptr);
    void setLista(db::Dataset *lista, const QString &campoChave, const QString &titulo, const QVector<Coluna> &colunas);
    QVariant chave() const { return m_valor; }
    void setChave(const QVariant &chave);
    QString texto() const;
    QToolButton *botao() const { return m_botao; }
    // Opens the selection dialog; true when a row was chosen.
    bool escolhe();

Q_SIGNALS:
    void escolhido();

protected:
    void keyPressEvent(QKeyEvent *evento) override;

private:
    QLineEdit *m_editor;
    QToolButton *m_botao;
    QPointer<db::Dataset> m_lista;
    QString m_campoChave, m_titulo;
    QVector<Coluna> m_colunas;
    QVariant m_valor;
};
LigacaoCampo *liga(CampoEscolha *escolha, db::Dataset *ds, const QString &campo);

// Edits grid cells: the decimal comma for amounts, upper case for texts.
class DelegadoDados : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *pai, const QStyleOptionViewItem &opcao, const QModelIndex &indice) const override;
    void setEditorData(QWidget *editor, const QModelIndex &indice) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &indice) const override;
};

// The grid of a dataset: whole rows selected, the current row following
// the dataset both ways, check-box columns for "S"/"N", read-only unless a
// column says otherwise.
class GradeDados : public QTableView
{
    Q_OBJECT

public:
    explicit GradeDados(QWidget *pai = nullptr);
    void setDataset(db::Dataset *ds);
    db::Dataset *dataset() const { return m_dataset; }
    db::DatasetModel *modelo() const;
    // Widths of the columns in characters, from the model's columns.
    void ajustaColunas();

    // Typing rows into the grid (entry lists). The window calls these from
    // its key preview, which sees Enter before the grid does.
    // The field of the current column; empty when there is none.
    QString campoAtual() const;
    // The text of the cell being typed goes into the row (which starts being
    // edited) and the cell closes; nothing happens when no cell is open.
    void confirmaEdicao();
    // Puts the cursor on the field's column in the current row.
    void vaiParaColuna(const QString &campo);
    // Enter across a row: confirms the cell and moves to the next column;
    // false, after confirming, when the cursor is on the last column.
    bool proximaColuna();
    // The grid or the cell being typed has the focus.
    bool temFoco() const;

Q_SIGNALS:
    void duploClique();
    void tituloClicado(const QString &campo);

private:
    void segueDataset();

    QPointer<db::Dataset> m_dataset;
    bool m_sincronizando = false;
    int m_mudando = 0;
};

// A modal list to choose a row of a dataset from, with a search box over
// the first text column; the dataset stays on the chosen row.
class DialogoEscolha : public QDialog
{
    Q_OBJECT

public:
    DialogoEscolha(db::Dataset *lista, const QString &titulo, const QVector<CampoEscolha::Coluna> &colunas,
                   QWidget *pai = nullptr);
    GradeDados *grade() const { return m_grade; }
    QLineEdit *busca() const { return m_busca; }

private:
    GradeDados *m_grade;
    QLineEdit *m_busca;
};

} // namespace app
