/* Supplier payment sheets: building the lines of a sheet, posting its milk
   side and its products side.

   A sheet dated D pays, per supplier, the unpaid milk deliveries
   (ENTRADA_PRODUTO with CD_PRODUTO = 1), the unpaid purchases of other
   products and the open vouchers dated up to D, however old. The ticked
   vouchers (ACAO = 'S') are the supplier's haver.

   Vouchers and the two sides of a sheet: the marks are shared by the milk
   and the products windows, so the build deducts every ticked voucher on
   the milk side (TOTALHAVER) and none on the products side
   (HAVERPRODUTOS = 0). Whichever side is posted first settles the
   vouchers it deducts, and the other side stops deducting them: posting
   the milk clears a product haver still open, posting products that
   deduct vouchers takes them out of a milk haver still open. No voucher
   is ever deducted twice. */

CREATE EXCEPTION E_FOLHA_INEXISTENTE 'Não existe folha de pagamento nesta data.';
CREATE EXCEPTION E_FOLHA_LANCADA 'Esta Folha Já Foi Lançada, não pode ser mais modificada!!';
CREATE EXCEPTION E_FOLHA_JA_LANCADA 'Esta folha Já Foi Lançada';
CREATE EXCEPTION E_FOLHA_PRECO_GERAL 'Só é possivel Lançar Folha Com Preço Individual, mude para o preço individual';
CREATE EXCEPTION E_FOLHA_DESATUALIZADA 'Entradas de leite ou vales desta folha mudaram depois que ela foi montada. Monte a folha de novo (Preço Individual) antes de lançar.';
CREATE EXCEPTION E_FOLHA_LANCADA_APAGAR 'Esta folha já foi lançada e não pode ser apagada.';

/* At most one sheet is being built: only an unposted sheet
   (FOLHALANCADA = 'N') has a key in this index. */
CREATE UNIQUE INDEX UX_FOLHAPGTO_ABERTA ON FOLHAPGTO COMPUTED BY (CASE WHEN FOLHALANCADA = 'N' THEN 0 END);

SET TERM ^ ;

/* A new sheet is unposted on both sides. The sheet window switches price
   modes by deleting the sheet's row and inserting it again without
   PRODUTOSPAGOS; a sheet whose products were already paid keeps that
   state. */
CREATE TRIGGER FOLHAPGTO_INCLUI FOR FOLHAPGTO ACTIVE BEFORE INSERT POSITION 0 AS
BEGIN
    NEW.FOLHALANCADA = COALESCE(NEW.FOLHALANCADA, 'N');
    IF (EXISTS (SELECT 1 FROM PAGAMENTO_FORNECEDOR L
                WHERE L.DATAFOLHA = NEW.DATA AND L.TOTALOUTROS > 0
                  AND EXISTS (SELECT 1 FROM ENTRADA_PRODUTO E
                              WHERE E.CD_PAG_FORNECEDOR = L.CD_PAG_FORNECEDOR AND E.CD_PRODUTO <> 1))) THEN
        NEW.PRODUTOSPAGOS = 'S';
    ELSE
        NEW.PRODUTOSPAGOS = COALESCE(NEW.PRODUTOSPAGOS, 'N');
END^

/* Posted is final: a window writing back an older copy of the row does
   not make a posted sheet unposted again. */
CREATE TRIGGER FOLHAPGTO_ALTERA FOR FOLHAPGTO ACTIVE BEFORE UPDATE POSITION 0 AS
BEGIN
    IF (OLD.FOLHALANCADA = 'S') THEN
        NEW.FOLHALANCADA = 'S';
    IF (OLD.PRODUTOSPAGOS = 'S') THEN
        NEW.PRODUTOSPAGOS = 'S';
END^

/* A posted milk sheet is the record of a payment (its deliveries and
   vouchers point at its lines, the cash book holds its money): it cannot
   be deleted. An unposted sheet can; its lines stay and are taken up
   again if a sheet of the same date is created. */
CREATE TRIGGER FOLHAPGTO_APAGA FOR FOLHAPGTO ACTIVE BEFORE DELETE POSITION 0 AS
BEGIN
    IF (OLD.FOLHALANCADA = 'S') THEN
        EXCEPTION E_FOLHA_LANCADA_APAGAR;
END^

/* Builds (or rebuilds) the lines of the sheet of PDTPAGAMENTO: one line
   per supplier, active or not, with an unpaid delivery, an unpaid purchase
   or an open voucher up to that date. Good milk is valued at the general
   price (PPRECOINDIVIDUAL 'N') or at the supplier's own PRECO ('S'); acid
   milk at the general acid price in both modes.

   The first build ticks the period's open vouchers; a rebuild keeps the
   marks, updates the existing lines in place (their keys stay), drops the
   lines of suppliers with nothing left to pay, and leaves the products
   columns alone once the products of the sheet are paid. Amounts are
   rounded to cents; ADESCONTAR is the part of the haver the milk does
   not cover. The sheet's totals are refreshed from its lines. */
CREATE PROCEDURE MONTAFOLHA (PDTPAGAMENTO DATE, PPRECOINDIVIDUAL CHAR(1)) AS
DECLARE LANCADA CHAR(1);
DECLARE PRODUTOS_PAGOS CHAR(1);
DECLARE PRECO_BOM NUMERIC(15,2);
DECLARE PRECO_ACIDO NUMERIC(15,2);
DECLARE CREDITO NUMERIC(18,2);
DECLARE HAVER NUMERIC(18,2);
DECLARE LIQUIDO NUMERIC(18,2);
DECLARE OUTROS NUMERIC(18,2);
DECLARE HAVER_PRODUTOS NUMERIC(18,2);
DECLARE LIQUIDO_PRODUTOS NUMERIC(18,2);
BEGIN
    /* Locking the sheet's row makes two builds of one sheet take turns. */
    SELECT FOLHALANCADA, PRODUTOSPAGOS FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO
    WITH LOCK INTO :LANCADA, :PRODUTOS_PAGOS;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_FOLHA_INEXISTENTE;
    IF (LANCADA = 'S') THEN
        EXCEPTION E_FOLHA_LANCADA;
    PRODUTOS_PAGOS = COALESCE(PRODUTOS_PAGOS, 'N');

    PRECO_BOM = 0;
    PRECO_ACIDO = 0;
    SELECT COALESCE(PRECO_LEITE, 0), COALESCE(PRECOLEITEACIDO, 0) FROM CONFIGURACAO
    WHERE CD_CONFIGURACAO = 1 INTO :PRECO_BOM, :PRECO_ACIDO;

    IF (NOT EXISTS (SELECT 1 FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO)) THEN
        UPDATE ADIANTAMENTO SET ACAO = 'S'
        WHERE PAGO = 'N' AND DTVALE <= :PDTPAGAMENTO AND ACAO IS DISTINCT FROM 'S';

    /* One statement builds, refreshes and drops the lines. Its source has
       a row per supplier with something to pay (A.PAGAR = 1) or with a
       line already (A.PAGAR = 0 when nothing is left to pay). */
    MERGE INTO PAGAMENTO_FORNECEDOR L
    USING (
        SELECT A.CD_FORNECEDOR, COALESCE(F.NOME, A.NOME) AS NOME, A.BOM, A.ACIDO, A.OUTROS, A.HAVER,
               IIF(A.ITENS_LEITE > 0 OR (A.ITENS > 0 AND :PRODUTOS_PAGOS <> 'S'), 1, 0) AS PAGAR,
               IIF(:PPRECOINDIVIDUAL = 'S', COALESCE(F.PRECO, 0), :PRECO_BOM) AS PRECO_BOM,
               ROUND(A.BOM * IIF(:PPRECOINDIVIDUAL = 'S', COALESCE(F.PRECO, 0), :PRECO_BOM)
                     + A.ACIDO * :PRECO_ACIDO, 2) AS CREDITO
        /* One pass over the unpaid intakes, grouped by supplier and
           product; milk and purchases are told apart on the groups. */
        FROM (SELECT X.CD_FORNECEDOR, MAX(X.NOME) AS NOME,
                     SUM(IIF(X.CD_PRODUTO = 1, COALESCE(X.BOM, 0), 0)) AS BOM,
                     SUM(IIF(X.CD_PRODUTO = 1, COALESCE(X.ACIDO, 0), 0)) AS ACIDO,
                     SUM(IIF(X.CD_PRODUTO <> 1, COALESCE(X.OUTROS, 0), 0)) AS OUTROS,
                     SUM(X.HAVER) AS HAVER,
                     SUM(X.ITENS) AS ITENS,
                     SUM(IIF(X.CD_PRODUTO = 1 OR X.ITENS_VALE = 1, X.ITENS, 0)) AS ITENS_LEITE
              FROM (SELECT E.CD_FORNECEDOR, E.CD_PRODUTO, CAST(NULL AS VARCHAR(60)) AS NOME,
                           SUM(E.QUANTLTBOM) AS BOM, SUM(E.QUANTLTACIDO) AS ACIDO,
                           SUM(E.VLRTOTAL) AS OUTROS, CAST(0 AS NUMERIC(18,2)) AS HAVER,
                           COUNT(*) AS ITENS, 0 AS ITENS_VALE
                    FROM ENTRADA_PRODUTO E
                    WHERE E.PAGO = 'N' AND E.DTENTRADA <= :PDTPAGAMENTO
                    GROUP BY E.CD_FORNECEDOR, E.CD_PRODUTO
                    UNION ALL
                    SELECT V.CD_FORNECEDOR, NULL, NULL, 0, 0, 0,
                           SUM(IIF(V.ACAO = 'S', COALESCE(V.VALOR, 0), 0)), COUNT(*), 1
                    FROM ADIANTAMENTO V
                    WHERE V.PAGO = 'N' AND V.DTVALE <= :PDTPAGAMENTO
                    GROUP BY V.CD_FORNECEDOR
                    UNION ALL
                    SELECT P.CD_FORNECEDOR, NULL, P.NOME, 0, 0, 0, 0, 0, 0
                    FROM PAGAMENTO_FORNECEDOR P
                    WHERE P.DATAFOLHA = :PDTPAGAMENTO) X
              GROUP BY X.CD_FORNECEDOR) A
        LEFT JOIN FORNECEDOR F ON F.CD_FORNECEDOR = A.CD_FORNECEDOR
    ) S
    ON L.DATAFOLHA = :PDTPAGAMENTO AND L.CD_FORNECEDOR = S.CD_FORNECEDOR
    /* Nothing left to pay: the line goes, unless it records paid
       products (then only its milk side is emptied). Once the products
       are paid, purchases alone make no line. */
    WHEN MATCHED AND S.PAGAR = 0 AND (:PRODUTOS_PAGOS <> 'S' OR COALESCE(L.TOTALOUTROS, 0) <= 0) THEN
        DELETE
    WHEN MATCHED AND S.PAGAR = 0 THEN UPDATE SET
        QUANTLTBOM = 0, QUANTLTACIDO = 0, TOTALCREDITO = 0, TOTALHAVER = 0, LIQUIDO = 0, ADESCONTAR = 0
    WHEN MATCHED THEN UPDATE SET
        NOME = S.NOME,
        QUANTLTBOM = S.BOM,
        QUANTLTACIDO = S.ACIDO,
        PRECOLTBOM = S.PRECO_BOM,
        PRECOLTACIDO = :PRECO_ACIDO,
        TOTALCREDITO = S.CREDITO,
        TOTALHAVER = S.HAVER,
        LIQUIDO = S.CREDITO - S.HAVER,
        ADESCONTAR = IIF(S.HAVER > S.CREDITO, S.HAVER - S.CREDITO, 0),
        TOTALOUTROS = IIF(:PRODUTOS_PAGOS = 'S', L.TOTALOUTROS, S.OUTROS),
        HAVERPRODUTOS = IIF(:PRODUTOS_PAGOS = 'S', L.HAVERPRODUTOS, 0),
        LIQUIDOPRODUTOS = IIF(:PRODUTOS_PAGOS = 'S', L.LIQUIDOPRODUTOS, S.OUTROS)
    WHEN NOT MATCHED AND S.PAGAR = 1 THEN INSERT
        (CD_PAG_FORNECEDOR, DATAFOLHA, CD_FORNECEDOR, NOME, QUANTLTBOM, QUANTLTACIDO,
         PRECOLTBOM, PRECOLTACIDO, TOTALCREDITO, TOTALHAVER, LIQUIDO, ADESCONTAR,
         TOTALOUTROS, HAVERPRODUTOS, LIQUIDOPRODUTOS)
    VALUES
        (NEXT VALUE FOR GEN_PAG_FORNECEDOR, :PDTPAGAMENTO, S.CD_FORNECEDOR, S.NOME, S.BOM, S.ACIDO,
         S.PRECO_BOM, :PRECO_ACIDO, S.CREDITO, S.HAVER, S.CREDITO - S.HAVER,
         IIF(S.HAVER > S.CREDITO, S.HAVER - S.CREDITO, 0),
         IIF(:PRODUTOS_PAGOS = 'S', 0, S.OUTROS), 0, IIF(:PRODUTOS_PAGOS = 'S', 0, S.OUTROS));

    SELECT SUM(CAST(TOTALCREDITO AS NUMERIC(15,2))), SUM(CAST(TOTALHAVER AS NUMERIC(15,2))),
           SUM(CAST(LIQUIDO AS NUMERIC(15,2))), SUM(TOTALOUTROS), SUM(HAVERPRODUTOS), SUM(LIQUIDOPRODUTOS)
    FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO
    INTO :CREDITO, :HAVER, :LIQUIDO, :OUTROS, :HAVER_PRODUTOS, :LIQUIDO_PRODUTOS;
    UPDATE FOLHAPGTO SET
        TOTALCREDITO = COALESCE(:CREDITO, 0),
        TOTALDEBITO = COALESCE(:HAVER, 0),
        TOTALPAGO = COALESCE(:LIQUIDO, 0),
        TOTALOUTROS = COALESCE(:OUTROS, 0),
        HAVERPRODUTOS = COALESCE(:HAVER_PRODUTOS, 0),
        LIQUIDOPRODUTOS = COALESCE(:LIQUIDO_PRODUTOS, 0),
        LANCAR = :PPRECOINDIVIDUAL
    WHERE DATA = :PDTPAGAMENTO;
END^

CREATE PROCEDURE MONTAPAGAMENTOFORNECEDORGERAL (PDTPAGAMENTO DATE) AS
BEGIN
    EXECUTE PROCEDURE MONTAFOLHA :PDTPAGAMENTO, 'N';
END^

CREATE PROCEDURE MONTAPAGAMENTOFORNECEDOR (PDTPAGAMENTO DATE) AS
BEGIN
    EXECUTE PROCEDURE MONTAFOLHA :PDTPAGAMENTO, 'S';
END^

/* Posts the milk side of the sheet of PDTPAGAMENTO: each line's deliveries
   and ticked vouchers of the period are settled (PAGO 'S' and the line's
   key), the vouchers leave their supplier's TOTAL_DEBITO, and the sheet
   becomes posted. Only a sheet built with the individual prices is
   posted, and only while its lines still match the deliveries and ticked
   vouchers: a delivery or voucher stored, altered or deleted after the
   build would otherwise be settled without being paid (or paid without
   existing). */
CREATE PROCEDURE LANCAFOLHA (PDTPAGAMENTO DATE) AS
DECLARE LANCADA CHAR(1);
DECLARE LANCAR CHAR(1);
DECLARE PRODUTOS_PAGOS CHAR(1);
DECLARE HAVER_PRODUTOS NUMERIC(18,2);
DECLARE LIQUIDO_PRODUTOS NUMERIC(18,2);
BEGIN
    SELECT FOLHALANCADA, LANCAR, PRODUTOSPAGOS FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO
    WITH LOCK INTO :LANCADA, :LANCAR, :PRODUTOS_PAGOS;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_FOLHA_INEXISTENTE;
    IF (LANCADA IS DISTINCT FROM 'N') THEN
        EXCEPTION E_FOLHA_JA_LANCADA;
    IF (LANCAR IS DISTINCT FROM 'S') THEN
        EXCEPTION E_FOLHA_PRECO_GERAL;

    IF (EXISTS (
        SELECT X.CD_FORNECEDOR
        FROM (SELECT L.CD_FORNECEDOR, 1 AS LINHA,
                     CAST(L.QUANTLTBOM AS NUMERIC(18,2)) AS BOM,
                     CAST(L.QUANTLTACIDO AS NUMERIC(18,2)) AS ACIDO,
                     CAST(L.TOTALHAVER AS NUMERIC(18,2)) AS HAVER
              FROM PAGAMENTO_FORNECEDOR L WHERE L.DATAFOLHA = :PDTPAGAMENTO
              UNION ALL
              SELECT E.CD_FORNECEDOR, 0, -SUM(COALESCE(E.QUANTLTBOM, 0)), -SUM(COALESCE(E.QUANTLTACIDO, 0)), 0
              FROM ENTRADA_PRODUTO E
              WHERE E.CD_PRODUTO = 1 AND E.PAGO = 'N' AND E.DTENTRADA <= :PDTPAGAMENTO
              GROUP BY E.CD_FORNECEDOR
              UNION ALL
              SELECT V.CD_FORNECEDOR, 0, 0, 0, -SUM(COALESCE(V.VALOR, 0))
              FROM ADIANTAMENTO V
              WHERE V.ACAO = 'S' AND V.PAGO = 'N' AND V.DTVALE <= :PDTPAGAMENTO
              GROUP BY V.CD_FORNECEDOR) X
        GROUP BY X.CD_FORNECEDOR
        HAVING MAX(X.LINHA) = 1
           AND (SUM(X.BOM) <> 0 OR SUM(X.ACIDO) <> 0 OR SUM(X.HAVER) <> 0))) THEN
        EXCEPTION E_FOLHA_DESATUALIZADA;

    MERGE INTO FORNECEDOR F
    USING (SELECT V.CD_FORNECEDOR, SUM(V.VALOR) AS VALOR
           FROM ADIANTAMENTO V
           JOIN PAGAMENTO_FORNECEDOR L
             ON L.DATAFOLHA = :PDTPAGAMENTO AND L.CD_FORNECEDOR = V.CD_FORNECEDOR
           WHERE V.ACAO = 'S' AND V.PAGO = 'N' AND V.DTVALE <= :PDTPAGAMENTO
           GROUP BY V.CD_FORNECEDOR) S
    ON F.CD_FORNECEDOR = S.CD_FORNECEDOR
    WHEN MATCHED THEN UPDATE SET TOTAL_DEBITO = TOTAL_DEBITO - COALESCE(S.VALOR, 0);

    /* Settling, line by line. A merge that may insert reads its source
       first, so the clause that never inserts makes the lines drive: each
       supplier's rows are reached through its index and settled together,
       which keeps the index on CD_PAG_FORNECEDOR growing in order (about
       a third faster than settling the rows in date order). */
    MERGE INTO ADIANTAMENTO V
    USING (SELECT CD_FORNECEDOR, CD_PAG_FORNECEDOR FROM PAGAMENTO_FORNECEDOR
           WHERE DATAFOLHA = :PDTPAGAMENTO) L
    ON V.CD_FORNECEDOR = L.CD_FORNECEDOR AND V.ACAO = 'S' AND V.PAGO = 'N'
       AND V.DTVALE <= :PDTPAGAMENTO
    WHEN MATCHED THEN UPDATE SET PAGO = 'S', CD_PAG_FORNECEDOR = L.CD_PAG_FORNECEDOR
    WHEN NOT MATCHED AND 1 = 0 THEN INSERT (CD_ADIANTAMENTO) VALUES (0);

    MERGE INTO ENTRADA_PRODUTO E
    USING (SELECT CD_FORNECEDOR, CD_PAG_FORNECEDOR FROM PAGAMENTO_FORNECEDOR
           WHERE DATAFOLHA = :PDTPAGAMENTO) L
    ON E.CD_FORNECEDOR = L.CD_FORNECEDOR AND E.CD_PRODUTO = 1 AND E.PAGO = 'N'
       AND E.DTENTRADA <= :PDTPAGAMENTO
    WHEN MATCHED THEN UPDATE SET PAGO = 'S', CD_PAG_FORNECEDOR = L.CD_PAG_FORNECEDOR
    WHEN NOT MATCHED AND 1 = 0 THEN INSERT (CD_ENTRADA) VALUES (0);

    UPDATE FOLHAPGTO SET FOLHALANCADA = 'S' WHERE DATA = :PDTPAGAMENTO;

    /* The vouchers are settled now: products still to be paid deduct none. */
    IF (PRODUTOS_PAGOS IS DISTINCT FROM 'S'
        AND EXISTS (SELECT 1 FROM PAGAMENTO_FORNECEDOR
                    WHERE DATAFOLHA = :PDTPAGAMENTO AND HAVERPRODUTOS <> 0)) THEN
    BEGIN
        UPDATE PAGAMENTO_FORNECEDOR SET HAVERPRODUTOS = 0, LIQUIDOPRODUTOS = TOTALOUTROS
        WHERE DATAFOLHA = :PDTPAGAMENTO AND HAVERPRODUTOS <> 0;
        SELECT SUM(HAVERPRODUTOS), SUM(LIQUIDOPRODUTOS) FROM PAGAMENTO_FORNECEDOR
        WHERE DATAFOLHA = :PDTPAGAMENTO INTO :HAVER_PRODUTOS, :LIQUIDO_PRODUTOS;
        UPDATE FOLHAPGTO SET HAVERPRODUTOS = COALESCE(:HAVER_PRODUTOS, 0),
                             LIQUIDOPRODUTOS = COALESCE(:LIQUIDO_PRODUTOS, 0)
        WHERE DATA = :PDTPAGAMENTO;
    END
END^

/* Posts the products side of the sheet of PDTPAGAMENTO. The lines taking
   part are those with a product credit (TOTALOUTROS > 0). Their product
   columns are first brought up to date with the purchases being settled
   now (no purchase is settled without being paid), and a line that
   deducts vouchers on the products side deducts exactly the ticked
   vouchers it settles. Purchases and those vouchers get PAGO 'S' and the
   line's key; the vouchers leave TOTAL_DEBITO and, while the milk side is
   not posted, its haver. */
CREATE PROCEDURE LANCAFOLHAPRODUTOS (PDTPAGAMENTO DATE) AS
DECLARE LANCADA CHAR(1);
DECLARE PRODUTOS_PAGOS CHAR(1);
DECLARE HAVER NUMERIC(18,2);
DECLARE LIQUIDO NUMERIC(18,2);
DECLARE OUTROS NUMERIC(18,2);
DECLARE HAVER_PRODUTOS NUMERIC(18,2);
DECLARE LIQUIDO_PRODUTOS NUMERIC(18,2);
BEGIN
    SELECT FOLHALANCADA, PRODUTOSPAGOS FROM FOLHAPGTO WHERE DATA = :PDTPAGAMENTO
    WITH LOCK INTO :LANCADA, :PRODUTOS_PAGOS;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_FOLHA_INEXISTENTE;
    IF (TRIM(COALESCE(PRODUTOS_PAGOS, '')) NOT IN ('', 'N')) THEN
        EXCEPTION E_FOLHA_JA_LANCADA;

    MERGE INTO PAGAMENTO_FORNECEDOR L
    USING (SELECT P.CD_PAG_FORNECEDOR,
                  (SELECT SUM(E.VLRTOTAL) FROM ENTRADA_PRODUTO E
                   WHERE E.CD_FORNECEDOR = P.CD_FORNECEDOR AND E.CD_PRODUTO <> 1
                     AND E.PAGO = 'N' AND E.DTENTRADA <= :PDTPAGAMENTO) AS OUTROS,
                  (SELECT SUM(V.VALOR) FROM ADIANTAMENTO V
                   WHERE V.CD_FORNECEDOR = P.CD_FORNECEDOR AND V.ACAO = 'S'
                     AND V.PAGO = 'N' AND V.DTVALE <= :PDTPAGAMENTO) AS HAVER
           FROM PAGAMENTO_FORNECEDOR P
           WHERE P.DATAFOLHA = :PDTPAGAMENTO AND P.TOTALOUTROS > 0) S
    ON L.CD_PAG_FORNECEDOR = S.CD_PAG_FORNECEDOR
    WHEN MATCHED THEN UPDATE SET
        TOTALOUTROS = COALESCE(S.OUTROS, 0),
        HAVERPRODUTOS = IIF(L.HAVERPRODUTOS > 0, COALESCE(S.HAVER, 0), 0),
        LIQUIDOPRODUTOS = COALESCE(S.OUTROS, 0) - IIF(L.HAVERPRODUTOS > 0, COALESCE(S.HAVER, 0), 0);

    MERGE INTO FORNECEDOR F
    USING (SELECT V.CD_FORNECEDOR, SUM(V.VALOR) AS VALOR
           FROM ADIANTAMENTO V
           JOIN PAGAMENTO_FORNECEDOR L
             ON L.DATAFOLHA = :PDTPAGAMENTO AND L.CD_FORNECEDOR = V.CD_FORNECEDOR
           WHERE L.TOTALOUTROS > 0 AND L.HAVERPRODUTOS > 0
             AND V.ACAO = 'S' AND V.PAGO = 'N' AND V.DTVALE <= :PDTPAGAMENTO
           GROUP BY V.CD_FORNECEDOR) S
    ON F.CD_FORNECEDOR = S.CD_FORNECEDOR
    WHEN MATCHED THEN UPDATE SET TOTAL_DEBITO = TOTAL_DEBITO - COALESCE(S.VALOR, 0);

    MERGE INTO ADIANTAMENTO V
    USING (SELECT CD_FORNECEDOR, CD_PAG_FORNECEDOR FROM PAGAMENTO_FORNECEDOR
           WHERE DATAFOLHA = :PDTPAGAMENTO AND TOTALOUTROS > 0 AND HAVERPRODUTOS > 0) L
    ON V.CD_FORNECEDOR = L.CD_FORNECEDOR AND V.ACAO = 'S' AND V.PAGO = 'N'
       AND V.DTVALE <= :PDTPAGAMENTO
    WHEN MATCHED THEN UPDATE SET PAGO = 'S', CD_PAG_FORNECEDOR = L.CD_PAG_FORNECEDOR
    WHEN NOT MATCHED AND 1 = 0 THEN INSERT (CD_ADIANTAMENTO) VALUES (0);

    MERGE INTO ENTRADA_PRODUTO E
    USING (SELECT CD_FORNECEDOR, CD_PAG_FORNECEDOR FROM PAGAMENTO_FORNECEDOR
           WHERE DATAFOLHA = :PDTPAGAMENTO AND TOTALOUTROS > 0) L
    ON E.CD_FORNECEDOR = L.CD_FORNECEDOR AND E.CD_PRODUTO <> 1 AND E.PAGO = 'N'
       AND E.DTENTRADA <= :PDTPAGAMENTO
    WHEN MATCHED THEN UPDATE SET PAGO = 'S', CD_PAG_FORNECEDOR = L.CD_PAG_FORNECEDOR
    WHEN NOT MATCHED AND 1 = 0 THEN INSERT (CD_ENTRADA) VALUES (0);

    IF (LANCADA IS DISTINCT FROM 'S') THEN
        UPDATE PAGAMENTO_FORNECEDOR SET TOTALHAVER = 0, LIQUIDO = TOTALCREDITO, ADESCONTAR = 0
        WHERE DATAFOLHA = :PDTPAGAMENTO AND TOTALOUTROS > 0 AND HAVERPRODUTOS > 0;

    SELECT SUM(CAST(TOTALHAVER AS NUMERIC(15,2))), SUM(CAST(LIQUIDO AS NUMERIC(15,2))),
           SUM(TOTALOUTROS), SUM(HAVERPRODUTOS), SUM(LIQUIDOPRODUTOS)
    FROM PAGAMENTO_FORNECEDOR WHERE DATAFOLHA = :PDTPAGAMENTO
    INTO :HAVER, :LIQUIDO, :OUTROS, :HAVER_PRODUTOS, :LIQUIDO_PRODUTOS;
    UPDATE FOLHAPGTO SET
        PRODUTOSPAGOS = 'S',
        TOTALOUTROS = COALESCE(:OUTROS, 0),
        HAVERPRODUTOS = COALESCE(:HAVER_PRODUTOS, 0),
        LIQUIDOPRODUTOS = COALESCE(:LIQUIDO_PRODUTOS, 0)
    WHERE DATA = :PDTPAGAMENTO;
    IF (LANCADA IS DISTINCT FROM 'S') THEN
        UPDATE FOLHAPGTO SET TOTALDEBITO = COALESCE(:HAVER, 0), TOTALPAGO = COALESCE(:LIQUIDO, 0)
        WHERE DATA = :PDTPAGAMENTO;
END^

SET TERM ; ^
