/* Stock kept by the server, and what a sale's lines and its deletion do to
   it. ESTOQUE_ATUAL only ever moves by relative updates, so concurrent
   movements of the same product add up. */

CREATE EXCEPTION E_PRODUTO_INEXISTENTE 'Produto não cadastrado: o estoque não foi alterado.';
CREATE EXCEPTION E_RECEBIMENTO_INEXISTENTE 'Este recebimento não existe mais: já foi estornado ou apagado.';
CREATE EXCEPTION E_PAGAMENTO_DE_VENDA 'Este pagamento foi feito junto com uma venda; para desfazê-lo apague a venda.';
CREATE EXCEPTION E_VENDA_RECEBIDA 'Esta venda já tem recebimento lançado e não pode ser apagada. Estorne o recebimento antes de apagar a venda.';

SET TERM ^ ;

/* Milk intake (product 1) and purchases of other products: stock up when
   an intake is stored, down when it is deleted or altered away. */

CREATE PROCEDURE ATUAL_PROD_FORN_INS_LEITE (PQUANTIDADE NUMERIC(15,2), PCDPRODUTO INTEGER) AS
BEGIN
    UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL + COALESCE(:PQUANTIDADE, 0)
    WHERE CD_PRODUTO = :PCDPRODUTO;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_PRODUTO_INEXISTENTE;
END^

CREATE PROCEDURE ATUAL_PROD_FORN_DEL_LEITE (PQUANTIDADE NUMERIC(15,2), PCDPRODUTO INTEGER) AS
BEGIN
    UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL - COALESCE(:PQUANTIDADE, 0)
    WHERE CD_PRODUTO = :PCDPRODUTO;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_PRODUTO_INEXISTENTE;
END^

/* A sale line takes its quantity out of stock when stored and gives it
   back when deleted; an altered line moves the difference. */

CREATE TRIGGER ITENS_PEDIDOS_ESTOQUE FOR ITENS_PEDIDOS ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 10 AS
BEGIN
    IF (NOT INSERTING) THEN
        UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL + COALESCE(OLD.QUANTIDADE, 0)
        WHERE CD_PRODUTO = OLD.CD_PRODUTO;
    IF (NOT DELETING) THEN
        UPDATE PRODUTO SET ESTOQUE_ATUAL = ESTOQUE_ATUAL - COALESCE(NEW.QUANTIDADE, 0)
        WHERE CD_PRODUTO = NEW.CD_PRODUTO;
END^

/* Deleting a sale takes its lines (their stock comes back through the
   trigger above) and the link to the payment made with it. A sale that a
   receipt has touched (a link row of any other payment) stays: the
   receipt has to be reversed first. */

CREATE TRIGGER PEDIDO_APAGA FOR PEDIDO ACTIVE BEFORE DELETE POSITION 0 AS
BEGIN
    IF (EXISTS (SELECT 1 FROM ITENSPAGAMENTO I
                WHERE I.CD_PEDIDO = OLD.CD_PEDIDO
                  AND I.CD_PAGAMENTO IS DISTINCT FROM OLD.CD_PAGAMENTO)) THEN
        EXCEPTION E_VENDA_RECEBIDA;
    DELETE FROM ITENSPAGAMENTO WHERE CD_PEDIDO = OLD.CD_PEDIDO;
    DELETE FROM ITENS_PEDIDOS WHERE CD_PEDIDO = OLD.CD_PEDIDO;
END^

/* Reversal of a receipt: everything the receipt did is undone. The notes
   it settled get back the amounts of their link rows; the customer's
   balance and the receipts of the cash day go back by what the receipt
   took off them, the amount paid plus its discount (PTOTAL carries only
   the amount paid, so the figures are read from the receipt's own row,
   which also holds the customer and the day the window passes). */

CREATE PROCEDURE EXTORNA_PAGAMENTO (PCDPGTO INTEGER, PTOTAL DOUBLE PRECISION, PCDCLI INTEGER, PDATA DATE) AS
DECLARE VALOR NUMERIC(15,2);
DECLARE DESCONTO NUMERIC(15,2);
DECLARE CLIENTE INTEGER;
DECLARE DIA DATE;
DECLARE COM_VENDA CHAR(1);
BEGIN
    /* Deleting the row first also locks it against a second reversal. */
    DELETE FROM PAGAMENTO WHERE CD_PAGAMENTO = :PCDPGTO
    RETURNING VALORTOTAL, DESCONTO, CD_CLIENTE, DATA, PEDIDO
    INTO :VALOR, :DESCONTO, :CLIENTE, :DIA, :COM_VENDA;
    IF (ROW_COUNT = 0) THEN
        EXCEPTION E_RECEBIMENTO_INEXISTENTE;
    IF (COM_VENDA = 'S') THEN
        EXCEPTION E_PAGAMENTO_DE_VENDA;
    VALOR = COALESCE(VALOR, 0) + COALESCE(DESCONTO, 0);

    MERGE INTO PEDIDO P
    USING (SELECT CD_PEDIDO, SUM(VALOR) AS VALOR FROM ITENSPAGAMENTO
           WHERE CD_PAGAMENTO = :PCDPGTO GROUP BY CD_PEDIDO) I
    ON P.CD_PEDIDO = I.CD_PEDIDO
    WHEN MATCHED THEN UPDATE SET
        FALTA = COALESCE(P.FALTA, 0) + COALESCE(I.VALOR, 0),
        PAGO = IIF(COALESCE(P.FALTA, 0) + COALESCE(I.VALOR, 0) > 0, 'N', P.PAGO);
    DELETE FROM ITENSPAGAMENTO WHERE CD_PAGAMENTO = :PCDPGTO;

    UPDATE CLIENTE SET DEBITO = DEBITO + :VALOR WHERE CD_CLIENTE = :CLIENTE;
    UPDATE CAIXA SET RECEBIMENTO = RECEBIMENTO - :VALOR WHERE DATA = :DIA;
END^

SET TERM ; ^
