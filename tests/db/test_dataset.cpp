// The cached dataset: states, pending changes applied in one transaction or
// withdrawn, events, locate, filter, order, lookups, master-detail, model.

#include "db/dataset.h"
#include "support/testdb.h"

#include <QtTest>

using db::Dataset;
using db::Decimal;

class TestDataset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithKeyAndTable();
    void insertPostApplyStoresTheRow();
    void cancelledInsertLeavesTheListAsBefore();
    void updateWritesOnlyChangedColumns();
    void refusedApplyThrowsAndCancelUpdatesWithdrawsEverything();
    void deleteAndApply();
    void editOnEmptyDatasetInserts();
    void valuesAreConvertedToTheFieldType();
    void eventsRunInOrderAndAbortStops();
    void locatePartialCaseInsensitive();
    void filterTextAndOrder_data();
    void filterTextAndOrder();
    void lookupAndCalculatedFields();
    void detailFollowsMaster();
    void modelFollowsTheRows();
    void writeChangesJoinsAnOuterTransaction();
    void movingPostsFirstThenFindsItsRow();

private:
    std::unique_ptr<db::Connection> c;
    QString path;
};

void TestDataset::init()
{
    path = testsupport::freshDatabasePath(true);
    c = db::Connection::open(path);
}

void TestDataset::cleanup()
{
    c.reset();
}

void TestDataset::opensWithKeyAndTable()
{
    Dataset ds(c.get(), "SELECT * FROM CONTA ORDER BY descricao");
    ds.open();
    QCOMPARE(ds.updateTable(), QStringLiteral("CONTA"));
    QCOMPARE(ds.keyFields(), QStringList({"CD_CONTA"}));
    QCOMPARE(ds.recordCount(), 6);
    QCOMPARE(ds.recNo(), 0);
    QCOMPARE(ds.text("DESCRICAO"), QStringLiteral("COMBUSTIVEL"));
    QVERIFY(ds.bof());
    ds.last();
    QVERIFY(ds.eof());
    QCOMPARE(ds.text("DESCRICAO"), QStringLiteral("VENDA A VISTA"));
    Dataset pk2(c.get(), "SELECT * FROM CLIENTE_PRODUTO_DESCONTO");
    pk2.open();
    QCOMPARE(pk2.keyFields(), QStringList({"CD_CLIENTE", "CD_PRODUTO"}));
}

void TestDataset::insertPostApplyStoresTheRow()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA");
    ds.open();
    const int before = ds.recordCount();
    ds.append();
    QCOMPARE(ds.state(), Dataset::State::Insert);
    ds.setValue("CD_TIPOSAIDA", 9);
    ds.setValue("NOME", "CAIXA FORTE");
    ds.post();
    QCOMPARE(ds.state(), Dataset::State::Browse);
    QCOMPARE(ds.changeCount(), 1);
    QCOMPARE(c->execute("select count(*) as N from TIPOSAIDA").value("N").toInt(), before); // not yet written
    ds.applyUpdates();
    QCOMPARE(ds.changeCount(), 0);
    QCOMPARE(c->execute("select NOME from TIPOSAIDA where CD_TIPOSAIDA = 9").value("NOME").toString(),
             QStringLiteral("CAIXA FORTE"));
    QCOMPARE(ds.recordCount(), before + 1);
    QCOMPARE(ds.text("NOME"), QStringLiteral("CAIXA FORTE"));
}

void TestDataset::cancelledInsertLeavesTheListAsBefore()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    ds.open();
    ds.setRecNo(1);
    ds.insert();
    QCOMPARE(ds.recordCount(), 4);
    QCOMPARE(ds.recNo(), 1);
    ds.setValue("NOME", "X");
    ds.cancel();
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.value("CD_TIPOSAIDA").toInt(), 2);
    QCOMPARE(ds.changeCount(), 0);
}

void TestDataset::updateWritesOnlyChangedColumns()
{
    Dataset ds(c.get(), "SELECT * FROM CLIENTE ORDER BY CD_CLIENTE");
    ds.open();
    // another workstation raises the debit meanwhile
    auto other = db::Connection::open(path);
    other->execute("update CLIENTE set DEBITO = DEBITO + 50 where CD_CLIENTE = 1");
    ds.edit();
    ds.setValue("TELEFONE", "3534000000");
    ds.post();
    ds.applyUpdates();
    const auto r = c->execute("select TELEFONE, DEBITO from CLIENTE where CD_CLIENTE = 1");
    QCOMPARE(r.value("TELEFONE").toString(), QStringLiteral("3534000000"));
    QCOMPARE(r.value("DEBITO").value<Decimal>(), Decimal(5000, 2));
    // an alteration that changes nothing writes nothing
    ds.edit();
    ds.setValue("TELEFONE", "3534000000");
    ds.post();
    QCOMPARE(ds.changeCount(), 0);
}

void TestDataset::refusedApplyThrowsAndCancelUpdatesWithdrawsEverything()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    ds.open();
    ds.edit();
    ds.setValue("NOME", "ALTERADO");
    ds.post();
    ds.next();
    ds.remove();
    ds.append();
    ds.setValue("CD_TIPOSAIDA", 4);
    ds.setValue("NOME", "NOVO");
    ds.post();
    // a second workstation records key 4 first
    auto other = db::Connection::open(path);
    other->execute("insert into TIPOSAIDA (CD_TIPOSAIDA, NOME) values (4, 'OUTRO')");
    QCOMPARE(ds.changeCount(), 3);
    try {
        ds.applyUpdates();
        QFAIL("expected a refusal");
    } catch (const db::Error &e) {
        QVERIFY(e.isDuplicateKey());
    }
    // nothing of the three was written
    QCOMPARE(c->execute("select NOME from TIPOSAIDA where CD_TIPOSAIDA = 1").value("NOME").toString(),
             QStringLiteral("DEPOSITADO"));
    QCOMPARE(c->execute("select count(*) as N from TIPOSAIDA").value("N").toInt(), 4);
    QCOMPARE(ds.changeCount(), 3); // still pending until withdrawn
    ds.cancelUpdates();
    QCOMPARE(ds.changeCount(), 0);
    QCOMPARE(ds.recordCount(), 3);
    ds.first();
    QCOMPARE(ds.text("NOME"), QStringLiteral("DEPOSITADO"));
    ds.next();
    QCOMPARE(ds.text("NOME"), QStringLiteral("REPASSADO A FORNECEDOR"));
}

void TestDataset::deleteAndApply()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    ds.open();
    ds.last();
    ds.remove();
    QCOMPARE(ds.recordCount(), 2);
    QCOMPARE(ds.recNo(), 1);
    ds.applyUpdates();
    QCOMPARE(c->execute("select count(*) as N from TIPOSAIDA").value("N").toInt(), 2);
    // a row deleted meanwhile by someone else cannot be deleted again
    Dataset again(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    again.open();
    c->execute("delete from TIPOSAIDA where CD_TIPOSAIDA = 1");
    again.remove();
    QVERIFY_THROWS_EXCEPTION(db::Error, again.applyUpdates());
}

void TestDataset::editOnEmptyDatasetInserts()
{
    c->execute("delete from CONFIGURACAO");
    Dataset ds(c.get(), "select * from configuracao");
    ds.open();
    QVERIFY(ds.isEmpty());
    ds.edit();
    QCOMPARE(ds.state(), Dataset::State::Insert);
    ds.setValue("CD_CONFIGURACAO", 1);
    ds.setValue("PRECO_LEITE", "1,25");
    ds.post();
    ds.applyUpdates();
    QCOMPARE(c->execute("select PRECO_LEITE from CONFIGURACAO where CD_CONFIGURACAO = 1").value("PRECO_LEITE").value<Decimal>(),
             Decimal(125, 2));
}

void TestDataset::valuesAreConvertedToTheFieldType()
{
    Dataset ds(c.get(), "SELECT * FROM PEDIDO");
    ds.open();
    ds.append();
    ds.setValue("CD_PEDIDO", "12");
    ds.setValue("TIPO", "D");                  // CHAR(2): padded like the database gives it
    ds.setValue("VALOR_TOTAL", 10.005);        // double: rounded to cents
    QCOMPARE(ds.text("TIPO"), QStringLiteral("D "));
    QCOMPARE(ds.value("CD_PEDIDO").toInt(), 12);
    QCOMPARE(ds.decimal("VALOR_TOTAL"), Decimal(1001, 2));
    QVERIFY_THROWS_EXCEPTION(db::Error, ds.setValue("FALTA", "abc"));
    QVERIFY_THROWS_EXCEPTION(db::Error, ds.setValue("DESCONTO", "1.234,5")); // edits turn that into 1234.5
    Dataset cli(c.get(), "SELECT * FROM CLIENTE");
    cli.open();
    cli.edit();
    cli.setValue("UF", "MINAS"); // cut to the column's width
    QCOMPARE(cli.text("UF"), QStringLiteral("MI"));
}

void TestDataset::eventsRunInOrderAndAbortStops()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    QStringList log;
    ds.AfterOpen = [&] { log << "AfterOpen"; };
    ds.BeforeInsert = [&] { log << "BeforeInsert"; };
    ds.OnNewRecord = [&] { log << "OnNewRecord"; ds.setValue("NOME", "PADRAO"); };
    ds.AfterInsert = [&] { log << "AfterInsert"; };
    ds.BeforeScroll = [&] { log << "BeforeScroll"; };
    ds.AfterScroll = [&] { log << "AfterScroll"; };
    ds.BeforePost = [&] {
        log << "BeforePost";
        if (ds.isNull("CD_TIPOSAIDA"))
            throw db::Abort();
    };
    ds.AfterPost = [&] { log << "AfterPost"; };
    ds.open();
    ds.append();
    QCOMPARE(ds.text("NOME"), QStringLiteral("PADRAO"));
    QVERIFY_THROWS_EXCEPTION(db::Abort, ds.post());
    QCOMPARE(ds.state(), Dataset::State::Insert); // still inserting
    ds.setValue("CD_TIPOSAIDA", 8);
    ds.post();
    QCOMPARE(log, QStringList({"AfterOpen", "BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                               "AfterScroll", "BeforePost", "BeforePost", "AfterPost"}));
    log.clear();
    ds.first();
    QCOMPARE(log, QStringList({"BeforeScroll", "AfterScroll"}));
}

void TestDataset::locatePartialCaseInsensitive()
{
    Dataset ds(c.get(), "SELECT * FROM FORNECEDOR ORDER BY NOME");
    ds.open();
    ds.last();
    QVERIFY(ds.locate("NOME", "maria", true, true));
    QCOMPARE(ds.value("CD_FORNECEDOR").toInt(), 2);
    QVERIFY(!ds.locate("NOME", "ZZZ", true, true));
    QCOMPARE(ds.value("CD_FORNECEDOR").toInt(), 2); // unchanged
    QVERIFY(!ds.locate("NOME", "maria", false, true)); // case matters without the option
    QVERIFY(ds.locate("CD_FORNECEDOR", 3));
    QCOMPARE(ds.text("NOME"), QStringLiteral("SEBASTIÃO RIBEIRO"));
}

void TestDataset::filterTextAndOrder_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("not equal") << "cd_produto <> 3 and cd_produto <> 2 and cd_produto < 6" << QList<int>{1, 4, 5};
    QTest::newRow("or and parentheses") << "(CD_PRODUTO = 7) or (CATEGORIA = 'S')" << QList<int>{7, 8, 9};
    QTest::newRow("not") << "not (cd_produto >= 3)" << QList<int>{1, 2};
    QTest::newRow("none") << "CD_PRODUTO = 99" << QList<int>{};
}

void TestDataset::filterTextAndOrder()
{
    QFETCH(QString, filter);
    QFETCH(QList<int>, codes);
    Dataset ds(c.get(), "SELECT * FROM PRODUTO ORDER BY NOME");
    ds.open();
    ds.setIndexFieldNames({"CD_PRODUTO"});
    ds.setFilterText(filter);
    ds.setFiltered(true);
    QList<int> got;
    for (int i = 0; i < ds.recordCount(); ++i)
        got << ds.value(i, "CD_PRODUTO").toInt();
    QCOMPARE(got, codes);
    ds.setFiltered(false);
    QCOMPARE(ds.recordCount(), 10);
}

void TestDataset::lookupAndCalculatedFields()
{
    Dataset grupos(c.get(), "SELECT * FROM GRUPO");
    grupos.open();
    Dataset usuarios(c.get(), "SELECT * FROM USUARIO ORDER BY CDUSUARIO");
    usuarios.addLookupField("nomegrupo", "CDGRUPO", &grupos, "CDGRUPO", "DESCRICAO");
    usuarios.addCalculatedField("ROTULO", [](const db::RowView &r) {
        return r.value("LOGIN").toString() + "/" + r.value("nomegrupo").toString();
    });
    usuarios.open();
    QCOMPARE(usuarios.text("nomegrupo"), QStringLiteral("ADMINISTRADORES"));
    QCOMPARE(usuarios.text("ROTULO"), QStringLiteral("ADMIN/ADMINISTRADORES"));
    usuarios.edit();
    usuarios.setValue("CDGRUPO", 2);
    QCOMPARE(usuarios.text("nomegrupo"), QStringLiteral("BALCAO"));
    usuarios.post();
    usuarios.applyUpdates(); // the looked-up column is not written
    QCOMPARE(c->execute("select CDGRUPO from USUARIO where CDUSUARIO = 1").value("CDGRUPO").toInt(), 2);
}

void TestDataset::detailFollowsMaster()
{
    Dataset grupos(c.get(), "SELECT * FROM GRUPO ORDER BY CDGRUPO");
    Dataset usuarios(c.get(), "SELECT * FROM USUARIO WHERE CDGRUPO = :CDGRUPO");
    usuarios.setMaster(&grupos, {{"CDGRUPO", "CDGRUPO"}});
    grupos.open();
    QVERIFY(usuarios.isActive());
    QCOMPARE(usuarios.text("LOGIN"), QStringLiteral("ADMIN"));
    grupos.next();
    QCOMPARE(usuarios.recordCount(), 1);
    QCOMPARE(usuarios.text("LOGIN"), QStringLiteral("BALCAO"));
    grupos.close();
    QVERIFY(!usuarios.isActive());
}

void TestDataset::modelFollowsTheRows()
{
    Dataset ds(c.get(), "SELECT * FROM CONTA ORDER BY CD_CONTA");
    auto *m = ds.model();
    m->setColumns({{"NUM_CONTA", "NUM CONTA"}, {"DESCRICAO", "NOME DA CONTA"},
                   db::DatasetModel::Column::check("SAIREL", "SAI NO RELATORIO", true),
                   db::DatasetModel::Column::formatted("SALDO", "SALDO", "#,##0.00")});
    ds.open();
    QCOMPARE(m->rowCount(), 6);
    QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("NOME DA CONTA"));
    QCOMPARE(m->data(m->index(0, 2), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // ticking the check box alters the row
    QVERIFY(m->setData(m->index(1, 2), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(ds.state(), Dataset::State::Edit);
    QCOMPARE(ds.text("SAIREL"), QStringLiteral("N"));
    ds.setValue("SALDO", Decimal(123456789, 2).toVariant());
    QCOMPARE(m->data(m->index(1, 3), Qt::DisplayRole).toString(), QStringLiteral("1.234.567,89"));
    ds.post();
    ds.append();
    QCOMPARE(m->rowCount(), 7);
    ds.cancel();
    QCOMPARE(m->rowCount(), 6);
    QCOMPARE(db::formatNumber(Decimal(12345, 3), ",0.###"), QStringLiteral("12,345"));
    QCOMPARE(db::formatNumber(Decimal(1234500, 3), ",0.###"), QStringLiteral("1.234,5"));
    QCOMPARE(db::formatNumber(Decimal(-5, 2), "#,##0.00"), QStringLiteral("-0,05"));
    QCOMPARE(db::formatNumber(2.5, "#,##0.00"), QStringLiteral("2,50"));
}

void TestDataset::writeChangesJoinsAnOuterTransaction()
{
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA");
    ds.open();
    ds.append();
    ds.setValue("CD_TIPOSAIDA", 20);
    ds.setValue("NOME", "X");
    ds.post();
    try {
        c->transaction([&](db::Transaction &tx) {
            ds.writeChanges(tx);
            tx.execute("update PRODUTO set ESTOQUE_ATUAL = ESTOQUE_ATUAL + 1 where CD_PRODUTO = 1");
            throw db::Error("falhou depois");
        });
    } catch (const db::Error &) {
    }
    QCOMPARE(c->execute("select count(*) as N from TIPOSAIDA where CD_TIPOSAIDA = 20").value("N").toInt(), 0);
    QCOMPARE(ds.changeCount(), 1);
    c->transaction([&](db::Transaction &tx) { ds.writeChanges(tx); });
    ds.mergeChangeLog();
    QCOMPARE(ds.changeCount(), 0);
    QCOMPARE(c->execute("select count(*) as N from TIPOSAIDA where CD_TIPOSAIDA = 20").value("N").toInt(), 1);
}

void TestDataset::movingPostsFirstThenFindsItsRow()
{
    // a window that writes and re-reads its list after every post
    Dataset ds(c.get(), "SELECT * FROM TIPOSAIDA ORDER BY CD_TIPOSAIDA");
    ds.AfterPost = [&] {
        ds.applyUpdates();
        ds.refresh();
    };
    ds.open();
    ds.last();
    ds.edit();
    ds.setValue("NOME", "ULTIMO");
    ds.setRecNo(5); // beyond the rows: the last one, after the post re-read them
    QCOMPARE(ds.state(), Dataset::State::Browse);
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(ds.text("NOME"), QStringLiteral("ULTIMO"));
    c->execute("delete from TIPOSAIDA where CD_TIPOSAIDA > 1");
    ds.first();
    ds.edit();
    ds.setValue("NOME", "SO ESTE");
    ds.next(); // the post re-reads a single row: no move past it
    QCOMPARE(ds.recordCount(), 1);
    QCOMPARE(ds.recNo(), 0);
    QCOMPARE(ds.text("NOME"), QStringLiteral("SO ESTE"));
}

QTEST_GUILESS_MAIN(TestDataset)
#include "test_dataset.moc"
