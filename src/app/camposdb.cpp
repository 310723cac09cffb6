#include "app/camposdb.h"

#include "app/janela.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace app {

// ---------------------------------------------------------------------------

LigacaoCampo::LigacaoCampo(QWidget *widget, db::Dataset *dataset, const QString &campo,
                           std::function<void(const QVariant &)> mostra, std::function<QVariant()> le)
    : QObject(widget), m_dataset(dataset), m_campo(campo), m_mostra(std::move(mostra)), m_le(std::move(le))
{
    setObjectName(QStringLiteral("ligacao"));
    connect(dataset, &db::Dataset::opened, this, [this] {
        if (aoAbrir)
            aoAbrir();
        atualiza();
    });
    connect(dataset, &db::Dataset::closed, this, &LigacaoCampo::atualiza);
    connect(dataset, &db::Dataset::scrolled, this, &LigacaoCampo::atualiza);
    connect(dataset, &db::Dataset::stateChanged, this, &LigacaoCampo::atualiza);
    connect(dataset, &db::Dataset::rowsChanged, this, &LigacaoCampo::atualiza);
    connect(dataset, &db::Dataset::valueChanged, this, [this](const QString &f) {
        if (!m_gravando && f.compare(m_campo, Qt::CaseInsensitive) == 0)
            atualiza();
    });
    connect(dataset, &db::Dataset::aboutToPost, this, &LigacaoCampo::grava);
    if (dataset->isActive()) {
        QMetaObject::invokeMethod(this, [this] {
            if (aoAbrir)
                aoAbrir();
            atualiza();
        }, Qt::QueuedConnection);
    }
}

void LigacaoCampo::atualiza()
{
    if (!m_dataset || m_gravando)
        return;
    m_mostrando = true;
    QVariant v;
    if (m_dataset->isActive() && m_dataset->hasField(m_campo) && !m_dataset->isEmpty())
        v = m_dataset->value(m_campo);
    m_mostra(v);
    m_mostrando = false;
}

void LigacaoCampo::grava()
{
    if (!m_le || !m_dataset || m_mostrando || !m_dataset->isEditing() || !m_dataset->hasField(m_campo))
        return;
    m_gravando = true;
    try {
        m_dataset->setValue(m_campo, m_le());
    } catch (...) {
        m_gravando = false;
        throw;
    }
    m_gravando = false;
}

LigacaoCampo *ligacaoDe(QWidget *widget)
{
    return widget ? widget->findChild<LigacaoCampo *>(QStringLiteral("ligacao"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

namespace {

int larguraDoCampo(db::Dataset *ds, const QString &campo)
{
    if (!ds->isActive() || !ds->hasField(campo))
        return 0;
    const db::Field &f = ds->field(campo);
    return (f.kind == db::Field::Kind::Text || f.kind == db::Field::Kind::Char) ? f.length : 0;
}

} // namespace

LigacaoCampo *liga(EditTexto *edit, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        edit, ds, campo,
        [edit](const QVariant &v) {
            QString t = v.toString();
            if (t != edit->text())
                edit->setText(t);
        },
        [edit]() -> QVariant { return edit->text(); });
    l->aoAbrir = [edit, ds, campo] {
        if (const int n = larguraDoCampo(ds, campo))
            edit->setMaxLength(n);
    };
    QObject::connect(edit, &QLineEdit::textEdited, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(EditDecimal *edit, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        edit, ds, campo,
        [edit](const QVariant &v) {
            if (!v.isValid() || v.isNull())
                edit->setValor(std::nullopt);
            else
                edit->setValor(db::Decimal::fromVariant(v, edit->decimais()));
        },
        [edit]() -> QVariant {
            const auto v = edit->valor();
            return v ? v->toVariant() : QVariant();
        });
    l->aoAbrir = [edit, ds, campo] {
        if (ds->hasField(campo) && ds->field(campo).kind == db::Field::Kind::Decimal)
            edit->setDecimais(ds->field(campo).scale);
    };
    QObject::connect(edit, &QLineEdit::textEdited, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(EditData *edit, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        edit, ds, campo, [edit](const QVariant &v) { edit->setData(v.toDate()); },
        [edit]() -> QVariant {
            const QDate d = edit->data();
            return d.isValid() ? QVariant(d) : QVariant();
        });
    QObject::connect(edit, &EditData::dataAlterada, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(EditMascara *edit, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        edit, ds, campo, [edit](const QVariant &v) { edit->setDigitos(v.toString().trimmed()); },
        [edit]() -> QVariant {
            const QString d = edit->digitos();
            return d.isEmpty() ? QVariant() : QVariant(d);
        });
    QObject::connect(edit, &QLineEdit::textEdited, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(CaixaSN *caixa, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        caixa, ds, campo, [caixa](const QVariant &v) { caixa->setValorSN(v.toString()); },
        [caixa]() -> QVariant { return caixa->valorSN(); });
    QObject::connect(caixa, &QCheckBox::clicked, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(QComboBox *lista, db::Dataset *ds, const QString &campo, int prefixo)
{
    auto *l = new LigacaoCampo(
        lista, ds, campo,
        [lista, prefixo](const QVariant &v) {
            const QString valor = v.toString().trimmed();
            int achado = -1;
            for (int i = 0; i < lista->count() && !valor.isEmpty(); ++i) {
                const QString item = lista->itemText(i);
                const QString chave = prefixo > 0 ? item.left(prefixo).trimmed() : item;
                if (chave == valor) {
                    achado = i;
                    break;
                }
            }
            if (achado < 0 && lista->isEditable())
                lista->setEditText(valor);
            lista->setCurrentIndex(achado);
        },
        [lista, prefixo]() -> QVariant {
            if (lista->currentIndex() < 0 && !lista->isEditable())
                return {};
            const QString t = lista->currentText();
            if (t.isEmpty())
                return {};
            return prefixo > 0 ? t.left(prefixo) : t;
        });
    QObject::connect(lista, &QComboBox::activated, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

LigacaoCampo *liga(QLabel *rotulo, db::Dataset *ds, const QString &campo, const QString &formato)
{
    return new LigacaoCampo(
        rotulo, ds, campo,
        [rotulo, formato](const QVariant &v) {
            if (v.metaType() == QMetaType::fromType<db::Decimal>())
                rotulo->setText(db::formatNumber(v.value<db::Decimal>(), formato));
            else if (v.metaType().id() == QMetaType::QDate)
                rotulo->setText(v.toDate().toString(QStringLiteral("dd/MM/yyyy")));
            else
                rotulo->setText(v.toString());
        },
        nullptr); // shows the value, never writes it
}

LigacaoCampo *ligaImagem(QLabel *imagem, db::Dataset *ds, const QString &campo)
{
    imagem->setScaledContents(true);
    return new LigacaoCampo(
        imagem, ds, campo,
        [imagem](const QVariant &v) {
            QPixmap p;
            if (v.isValid() && !v.isNull())
                p.loadFromData(v.toByteArray());
            imagem->setPixmap(p);
            imagem->setProperty("bytes", v.toByteArray());
        },
        [imagem]() -> QVariant {
            const QByteArray b = imagem->property("bytes").toByteArray();
            return b.isEmpty() ? QVariant() : QVariant(b);
        });
}

QString textoDoCampo(const QWidget *campo)
{
    if (auto *e = qobject_cast<const QLineEdit *>(campo))
        return e->text();
    if (auto *d = qobject_cast<const EditData *>(campo))
        return d->texto();
    if (auto *c = qobject_cast<const QComboBox *>(campo))
        return c->currentText();
    if (auto *k = qobject_cast<const CampoEscolha *>(campo))
        return k->texto();
    if (auto *l = qobject_cast<const QLabel *>(campo))
        return l->text();
    return {};
}

// ---------------------------------------------------------------------------

ComboLookup::ComboLookup(QWidget *pai) : QComboBox(pai)
{
    connect(this, &QComboBox::activated, this, [this] {
        if (!m_carregando)
            Q_EMIT escolhido();
    });
}

void ComboLookup::setLista(db::Dataset *lista, const QString &campoChave, const QString &campoExibido)
{
    if (m_lista)
        disconnect(m_lista, nullptr, this, nullptr);
    m_lista = lista;
    m_chave = campoChave;
    m_exibido = campoExibido;
    connect(lista, &db::Dataset::opened, this, &ComboLookup::recarrega);
    connect(lista, &db::Dataset::closed, this, &ComboLookup::recarrega);
    recarrega();
}

void ComboLookup::recarrega()
{
    const QVariant atual = chave();
    m_carregando = true;
    clear();
    if (m_lista && m_lista->isActive()) {
        for (int i = 0; i < m_lista->recordCount(); ++i)
            addItem(m_lista->value(i, m_exibido).toString().trimmed(), m_lista->value(i, m_chave));
    }
    setChave(atual);
    m_carregando = false;
}

QVariant ComboLookup::chave() const
{
    return currentIndex() >= 0 ? currentData() : QVariant();
}

void ComboLookup::setChave(const QVariant &chave)
{
    int achado = -1;
    if (chave.isValid() && !chave.isNull()) {
        for (int i = 0; i < count(); ++i) {
            if (itemData(i).toString() == chave.toString()) {
                achado = i;
                break;
            }
        }
    }
    setCurrentIndex(achado);
}

LigacaoCampo *liga(ComboLookup *lookup, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        lookup, ds, campo, [lookup](const QVariant &v) { lookup->setChave(v); },
        [lookup]() -> QVariant { return lookup->chave(); });
    QObject::connect(lookup, &ComboLookup::escolhido, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

// ---------------------------------------------------------------------------

CampoEscolha::CampoEscolha(QWidget *pai) : QWidget(pai)
{
    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(1);
    m_editor = new QLineEdit(this);
    m_editor->setReadOnly(true);
    m_botao = new QToolButton(this);
    m_botao->setText(QStringLiteral("..."));
    m_botao->setFocusPolicy(Qt::NoFocus);
    h->addWidget(m_editor, 1);
    h->addWidget(m_botao);
    setFocusProxy(m_editor);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_botao, &QToolButton::clicked, this, [this] { protege([this] { escolhe(); }); });
}

void CampoEscolha::setLista(db::Dataset *lista, const QString &campoChave, const QString &titulo,
                            const QVector<Coluna> &colunas)
{
    m_lista = lista;
    m_campoChave = campoChave;
    m_titulo = titulo;
    m_colunas = colunas;
}

void CampoEscolha::setChave(const QVariant &chave)
{
    m_valor = chave;
    m_editor->setText(chave.isValid() && !chave.isNull() ? chave.toString() : QString());
}

QString CampoEscolha::texto() const
{
    return m_editor->text();
}

bool CampoEscolha::escolhe()
{
    if (!m_lista || !isEnabled())
        return false;
    if (!m_lista->isActive())
        m_lista->open();
    if (m_valor.isValid())
        m_lista->locate(m_campoChave, m_valor);
    DialogoEscolha d(m_lista, m_titulo, m_colunas, this);
    if (d.exec() != QDialog::Accepted || m_lista->isEmpty())
        return false;
    setChave(m_lista->value(m_campoChave));
    Q_EMIT escolhido();
    return true;
}

void CampoEscolha::keyPressEvent(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_F2 || evento->key() == Qt::Key_Space) {
        protege([this] { escolhe(); });
        return;
    }
    QWidget::keyPressEvent(evento);
}

LigacaoCampo *liga(CampoEscolha *escolha, db::Dataset *ds, const QString &campo)
{
    auto *l = new LigacaoCampo(
        escolha, ds, campo, [escolha](const QVariant &v) { escolha->setChave(v); },
        [escolha]() -> QVariant { return escolha->chave(); });
    QObject::connect(escolha, &CampoEscolha::escolhido, l, [l] { protege([l] { l->editado(); }); });
    return l;
}

// ---------------------------------------------------------------------------

QWidget *DelegadoDados::createEditor(QWidget *pai, const QStyleOptionViewItem &, const QModelIndex &indice) const
{
    const QVariant v = indice.data(Qt::EditRole);
    auto *modelo = qobject_cast<const db::DatasetModel *>(indice.model());
    db::Field::Kind kind = db::Field::Kind::Text;
    int largura = 0;
    if (modelo) {
        const QString campo = modelo->columns()[indice.column()].field;
        if (modelo->dataset()->hasField(campo)) {
            kind = modelo->dataset()->field(campo).kind;
            largura = modelo->dataset()->field(campo).length;
        }
    }
    if (kind == db::Field::Kind::Decimal || kind == db::Field::Kind::Double) {
        auto *e = new EditDecimal(pai);
        e->setFrame(false);
        return e;
    }
    if (kind == db::Field::Kind::Date) {
        auto *e = new EditData(pai);
        return e;
    }
    auto *e = new EditTexto(pai);
    e->setFrame(false);
    if (kind == db::Field::Kind::Integer)
        e->setValidator(nullptr);
    if ((kind == db::Field::Kind::Text || kind == db::Field::Kind::Char) && largura > 0)
        e->setMaxLength(largura);
    return e;
}

void DelegadoDados::setEditorData(QWidget *editor, const QModelIndex &indice) const
{
    const QVariant v = indice.data(Qt::EditRole);
    if (auto *d = qobject_cast<EditDecimal *>(editor)) {
        d->setValor(v.isValid() && !v.isNull() ? std::optional(db::Decimal::fromVariant(v, d->decimais()))
                                               : std::nullopt);
    } else if (auto *dt = qobject_cast<EditData *>(editor)) {
        dt->setData(v.toDate());
    } else if (auto *t = qobject_cast<QLineEdit *>(editor)) {
        t->setText(v.toString().trimmed());
    }
}

void DelegadoDados::setModelData(QWidget *editor, QAbstractItemModel *modelo, const QModelIndex &indice) const
{
    protege([&] {
        if (auto *d = qobject_cast<EditDecimal *>(editor)) {
            const auto v = d->valor();
            modelo->setData(indice, v ? v->toVariant() : QVariant(), Qt::EditRole);
        } else if (auto *dt = qobject_cast<EditData *>(editor)) {
            modelo->setData(indice, dt->data().isValid() ? QVariant(dt->data()) : QVariant(), Qt::EditRole);
        } else if (auto *t = qobject_cast<QLineEdit *>(editor)) {
            modelo->setData(indice, t->text().isEmpty() ? QVariant() : QVariant(t->text()), Qt::EditRole);
        }
    });
}

// ---------------------------------------------------------------------------

GradeDados::GradeDados(QWidget *pai) : QTableView(pai)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    // rows of one fixed height: a list of thousands of rows lays out at once
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    setItemDelegate(new DelegadoDados(this));
    setTabKeyNavigation(false);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            Q_EMIT duploClique();
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int s) {
        if (auto *m = modelo(); m && s < m->columns().size())
            Q_EMIT tituloClicado(m->columns()[s].field);
    });
}

db::DatasetModel *GradeDados::modelo() const
{
    return m_dataset ? m_dataset->model() : nullptr;
}

void GradeDados::setDataset(db::Dataset *ds)
{
    m_dataset = ds;
    setModel(ds->model());
    // While the rows change, the view moves its current row by itself; that
    // must not move the dataset (it would post the row being edited).
    auto *m = ds->model();
    auto inicio = [this] { ++m_mudando; };
    auto fim = [this] {
        if (m_mudando > 0)
            --m_mudando;
        segueDataset();
    };
    connect(m, &QAbstractItemModel::rowsAboutToBeInserted, this, inicio);
    connect(m, &QAbstractItemModel::rowsInserted, this, fim);
    connect(m, &QAbstractItemModel::rowsAboutToBeRemoved, this, inicio);
    connect(m, &QAbstractItemModel::rowsRemoved, this, fim);
    connect(m, &QAbstractItemModel::layoutAboutToBeChanged, this, inicio);
    connect(m, &QAbstractItemModel::layoutChanged, this, fim);
    connect(m, &QAbstractItemModel::modelAboutToBeReset, this, inicio);
    connect(m, &QAbstractItemModel::modelReset, this, fim);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &atual) {
                if (m_sincronizando || m_mudando > 0 || !m_dataset || !atual.isValid())
                    return;
                if (atual.row() != m_dataset->recNo())
                    protege([&] { m_dataset->setRecNo(atual.row()); });
                segueDataset();
            });
    connect(ds, &db::Dataset::scrolled, this, &GradeDados::segueDataset);
    connect(ds, &db::Dataset::rowsChanged, this, &GradeDados::segueDataset);
    connect(ds, &db::Dataset::opened, this, [this] {
        ajustaColunas();
        segueDataset();
    });
    connect(ds->model(), &QAbstractItemModel::modelReset, this, &GradeDados::ajustaColunas);
    ajustaColunas();
    segueDataset();
}

void GradeDados::ajustaColunas()
{
    auto *m = modelo();
    if (!m)
        return;
    const int ch = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    bool editavel = false;
    for (int i = 0; i < m->columns().size(); ++i) {
        const auto &c = m->columns()[i];
        if (c.width > 0)
            setColumnWidth(i, c.width * ch + 12);
        if (!c.readOnly)
            editavel = true;
    }
    setEditTriggers(editavel ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed)
                             : QAbstractItemView::NoEditTriggers);
}

QString GradeDados::campoAtual() const
{
    auto *m = modelo();
    const QModelIndex i = currentIndex();
    if (!m || !i.isValid() || i.column() >= m->columns().size())
        return {};
    return m->columns()[i.column()].field;
}

void GradeDados::confirmaEdicao()
{
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GradeDados::vaiParaColuna(const QString &campo)
{
    auto *m = modelo();
    if (!m)
        return;
    const int coluna = m->columnOf(campo);
    const int linha = currentIndex().isValid() ? currentIndex().row() : (m_dataset ? m_dataset->recNo() : -1);
    if (coluna < 0 || linha < 0 || linha >= m->rowCount())
        return;
    setCurrentIndex(m->index(linha, coluna));
}

bool GradeDados::proximaColuna()
{
    confirmaEdicao();
    auto *m = modelo();
    const QModelIndex i = currentIndex();
    if (!m || !i.isValid() || i.column() + 1 >= m->columnCount())
        return false;
    setCurrentIndex(m->index(i.row(), i.column() + 1));
    return true;
}

bool GradeDados::temFoco() const
{
    QWidget *foco = QApplication::focusWidget();
    return foco && (foco == this || isAncestorOf(foco));
}

void GradeDados::segueDataset()
{
    if (!m_dataset || !selectionModel() || m_mudando > 0)
        return;
    const int linha = m_dataset->recNo();
    const QModelIndex atual = currentIndex();
    if (linha < 0 || (atual.isValid() && atual.row() == linha))
        return;
    m_sincronizando = true;
    const int coluna = atual.isValid() ? atual.column() : 0;
    setCurrentIndex(model()->index(linha, coluna));
    m_sincronizando = false;
}

// ---------------------------------------------------------------------------

DialogoEscolha::DialogoEscolha(db::Dataset *lista, const QString &titulo, const QVector<CampoEscolha::Coluna> &colunas,
                               QWidget *pai)
    : QDialog(pai)
{
    setObjectName(QStringLiteral("DialogoEscolha"));
    setWindowTitle(titulo);
    resize(520, 420);
    auto *v = new QVBoxLayout(this);
    m_busca = new EditTexto(this);
    m_busca->setObjectName(QStringLiteral("Busca"));
    m_busca->setPlaceholderText(QStringLiteral("Procurar"));
    v->addWidget(m_busca);
    m_grade = new GradeDados(this);
    m_grade->setObjectName(QStringLiteral("Grade"));
    QVector<db::DatasetModel::Column> cols;
    for (const auto &c : colunas)
        cols.append(db::DatasetModel::Column(c.campo, c.titulo));
    // the dialog shows its own columns without disturbing other users of
    // the same dataset's model
    m_grade->setDataset(lista);
    if (!cols.isEmpty())
        lista->model()->setColumns(cols);
    v->addWidget(m_grade, 1);
    auto *botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancela"));
    v->addWidget(botoes);
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_grade, &GradeDados::duploClique, this, &QDialog::accept);
    // the search goes over the first text column (a code column is skipped)
    QString campoBusca;
    for (const auto &c : colunas) {
        if (!lista->isActive() || !lista->hasField(c.campo))
            continue;
        const db::Field::Kind k = lista->field(c.campo).kind;
        if (k == db::Field::Kind::Text || k == db::Field::Kind::Char) {
            campoBusca = c.campo;
            break;
        }
    }
    if (campoBusca.isEmpty())
        campoBusca = colunas.size() > 1 ? colunas[1].campo : (colunas.isEmpty() ? QString() : colunas[0].campo);
    connect(m_busca, &QLineEdit::textChanged, this, [lista, campoBusca](const QString &t) {
        if (!t.isEmpty() && !campoBusca.isEmpty())
            protege([&] { lista->locate(campoBusca, t, true, true); });
    });
    m_grade->setFocus();
}

} // namespace app
