/* Sales cash days and the general cash book. */

/* At most one sales cash day is open. NULLs never collide in a unique
   index, so only the open day (LANCADO = 'N') has a key here; a second
   open day, even one opened at the same moment on another workstation,
   is refused. */
CREATE UNIQUE INDEX UX_CAIXA_ABERTO ON CAIXA COMPUTED BY (CASE WHEN LANCADO = 'N' THEN 0 END);

/* The previous day of the cash book ("MAX(DTSALDO) ... WHERE DTSALDO < :D"). */
CREATE DESCENDING INDEX IX_SALDOCAIXA_DESC ON SALDOCAIXA (DTSALDO);

SET TERM ^ ;

/* Books a change of the day PDATA into SALDOCAIXA: the day's credit and
   debit totals move by PCREDITO and PDEBITO, and its closing balance and
   that of every later day by their difference (SALDOATUAL is a running
   balance: the previous day's plus the day's credits minus its debits).
   Everything moves by relative updates, so entries of several
   workstations add up; two of them touching the same days meet on the
   same rows and one is retried. */

CREATE PROCEDURE SALDOCAIXA_LANCA (PDATA DATE, PCREDITO NUMERIC(15,2), PDEBITO NUMERIC(15,2)) AS
DECLARE ANTERIOR DATE;
DECLARE VISTO DATE;
DECLARE SALDO NUMERIC(15,2);
BEGIN
    IF (PDATA IS NULL) THEN
        EXIT;
    UPDATE SALDOCAIXA SET
        TOTCREDITO = COALESCE(TOTCREDITO, 0) + :PCREDITO,
        TOTDEBITO = COALESCE(TOTDEBITO, 0) + :PDEBITO,
        SALDOATUAL = COALESCE(SALDOATUAL, 0) + :PCREDITO - :PDEBITO
    WHERE DTSALDO = :PDATA;
    IF (ROW_COUNT = 0) THEN
    BEGIN
        /* The day's first entry: its balance starts from the previous
           day's. That day is locked first, so that a back-dated entry of
           another workstation (which must move this new day as well but
           cannot see it yet) waits for it and is retried. */
        SELECT MAX(DTSALDO) FROM SALDOCAIXA WHERE DTSALDO < :PDATA INTO :ANTERIOR;
        VISTO = NULL;
        SALDO = 0;
        WHILE (ANTERIOR IS DISTINCT FROM VISTO) DO
        BEGIN
            VISTO = ANTERIOR;
            SELECT COALESCE(SALDOATUAL, 0) FROM SALDOCAIXA WHERE DTSALDO = :VISTO
            WITH LOCK INTO :SALDO;
            SELECT MAX(DTSALDO) FROM SALDOCAIXA WHERE DTSALDO < :PDATA INTO :ANTERIOR;
        END
        BEGIN
            INSERT INTO SALDOCAIXA (DTSALDO, TOTCREDITO, TOTDEBITO, SALDOATUAL)
            VALUES (:PDATA, :PCREDITO, :PDEBITO, :SALDO + :PCREDITO - :PDEBITO);
            /* Another workstation stored the same day's first entry
               meanwhile (possible only before any earlier day exists). */
            WHEN GDSCODE UNIQUE_KEY_VIOLATION, GDSCODE NO_DUP DO
                UPDATE SALDOCAIXA SET
                    TOTCREDITO = COALESCE(TOTCREDITO, 0) + :PCREDITO,
                    TOTDEBITO = COALESCE(TOTDEBITO, 0) + :PDEBITO,
                    SALDOATUAL = COALESCE(SALDOATUAL, 0) + :PCREDITO - :PDEBITO
                WHERE DTSALDO = :PDATA;
        END
    END
    UPDATE SALDOCAIXA SET SALDOATUAL = COALESCE(SALDOATUAL, 0) + :PCREDITO - :PDEBITO
    WHERE DTSALDO > :PDATA;
END^

/* Every stored, altered or deleted entry keeps the days right. A day keeps
   its row (with zero totals) when its last entry is deleted. */
CREATE TRIGGER MOVIMENTO_SALDO FOR MOVIMENTO ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 10 AS
BEGIN
    IF (UPDATING
        AND OLD.DATA IS NOT DISTINCT FROM NEW.DATA
        AND OLD.VALOR IS NOT DISTINCT FROM NEW.VALOR
        AND OLD.DEBITO_CREDITO IS NOT DISTINCT FROM NEW.DEBITO_CREDITO) THEN
        EXIT;
    IF (NOT INSERTING) THEN
        EXECUTE PROCEDURE SALDOCAIXA_LANCA OLD.DATA,
            IIF(OLD.DEBITO_CREDITO = 'C', -COALESCE(OLD.VALOR, 0), 0),
            IIF(OLD.DEBITO_CREDITO = 'D', -COALESCE(OLD.VALOR, 0), 0);
    IF (NOT DELETING) THEN
        EXECUTE PROCEDURE SALDOCAIXA_LANCA NEW.DATA,
            IIF(NEW.DEBITO_CREDITO = 'C', COALESCE(NEW.VALOR, 0), 0),
            IIF(NEW.DEBITO_CREDITO = 'D', COALESCE(NEW.VALOR, 0), 0);
END^

/* SALDO of every account: its debits minus its credits dated within the
   period (both dates included), so that expense accounts come out
   positive in the general expense report; 0 for an account without
   entries in the period. */
CREATE PROCEDURE SOMA_CONTA (PDTINICIAL DATE, PDTFINAL DATE) AS
BEGIN
    UPDATE CONTA C SET SALDO = COALESCE(
        (SELECT SUM(IIF(M.DEBITO_CREDITO = 'D', M.VALOR, -M.VALOR))
         FROM MOVIMENTO M
         WHERE M.CD_CONTA = C.CD_CONTA
           AND M.DATA BETWEEN :PDTINICIAL AND :PDTFINAL
           AND M.DEBITO_CREDITO IN ('C', 'D')), 0);
END^

SET TERM ; ^
