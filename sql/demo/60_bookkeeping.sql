/* Demonstration data: the bookkeeping of the lease. Invoice lines post
   operations of type 1800 (sales, exported to the bookkeeping system), pay
   bill lines type 1850 (payments received), for enterprises and private
   entrepreneurs. Two invoices of last month and one payment on them are
   booked, ready to be posted. */

INSERT INTO fin_account (id, num, name) VALUES (1, '62', 'Расчеты с покупателями и заказчиками');
INSERT INTO fin_account (id, num, name) VALUES (2, '90', 'Доходы и расходы по текущей деятельности');
INSERT INTO fin_account (id, num, name) VALUES (3, '51', 'Расчетный счет');
INSERT INTO fin_account (id, num, name) VALUES (4, '68', 'Расчеты по налогам и сборам');

INSERT INTO fin_optype (optypekey, name) VALUES (1850, 'Оплата аренды');

/* 62 is kept by customer and service, 90 by service and leased object. */
INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey) VALUES (1, 1, 10);
INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey) VALUES (1, 2, 610);
INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey) VALUES (2, 1, 610);
INSERT INTO fin_accountanalyze (accountkey, levelno, analyzekey) VALUES (2, 2, 620);

INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1800, 10);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1800, 610);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1800, 620);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1800, 650);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1800, 660);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1850, 10);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1850, 610);
INSERT INTO fin_optypeanalyze (optypekey, analyzekey) VALUES (1850, 650);

/* Sales with the value added tax (20 %) inside the amount, to the kopeck;
   payments. */
INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr, name)
  VALUES (1, 1800, 1, 2, 'SumNCU', 'SumCurr', 'Выручка от аренды');
INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr, name)
  VALUES (2, 1800, 2, 4, 'ROUND(SumNCU * 20 / 120 * 100) / 100', 'ROUND(SumCurr * 20 / 120 * 100) / 100', 'НДС с выручки');
INSERT INTO fin_entrytype (id, optypekey, debitid, creditid, expression, expressioncurr, name)
  VALUES (3, 1850, 3, 1, 'SumNCU', 'SumCurr', 'Поступление оплаты');

/* Every service but the groups, the penalty and the trading premises (whose
   invoice lines thus post nothing) posts both kinds. */
INSERT INTO rent_serviceoperation (servicekey, rentoperation, typecustomer, operationkey)
  SELECT s.id, o.rentoperation, k.kind, o.optype
    FROM rent_service s
   CROSS JOIN (SELECT 0 AS rentoperation, 1800 AS optype FROM RDB$DATABASE
               UNION ALL SELECT 1, 1850 FROM RDB$DATABASE) o
   CROSS JOIN (SELECT 1 AS kind FROM RDB$DATABASE UNION ALL SELECT 4 FROM RDB$DATABASE) k
   WHERE s.id NOT IN (1, 3, 6, 12);

INSERT INTO rent_invoice (id, number, invoicedate, operationdate, expiredate, information, customerkey,
                          contractkey, paymentkey, invoicetypekey, currkey)
  VALUES (1, '1', DATEADD(-30 DAY TO CURRENT_DATE), DATEADD(-30 DAY TO CURRENT_DATE),
          DATEADD(-20 DAY TO CURRENT_DATE), 'Счет за прошлый месяц', 2, 1, 1, 1, 2);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (1, 1, 1, 1357.59, 415.8);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (2, 1, 2, 2977.88, 912.06);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (3, 1, 3, 151.2, 0);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (4, 1, 6, 35, 0);

INSERT INTO rent_invoice (id, number, invoicedate, operationdate, expiredate, information, customerkey,
                          contractkey, paymentkey, invoicetypekey, currkey)
  VALUES (2, '2', DATEADD(-30 DAY TO CURRENT_DATE), NULL,
          DATEADD(-20 DAY TO CURRENT_DATE), 'Счет за прошлый месяц', 3, 2, 1, 1, 2);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (5, 2, 7, 4992.05, 1528.96);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (6, 2, 8, 233.28, 0);
INSERT INTO rent_invoiceservice (id, invoicekey, contractservicekey, costncu, costcurr) VALUES (7, 2, 9, 112.27, 0);

INSERT INTO rent_paybill (id, number, paybilldate, operationdate, customerkey, paymentkey, currkey, sumncu)
  VALUES (1, '1', DATEADD(-25 DAY TO CURRENT_DATE), NULL, 2, 1, 2, 1508.79);
INSERT INTO rent_paybillrelat (id, paybillkey, contractservicekey, costncu, costcurr) VALUES (1, 1, 1, 1357.59, 415.8);
INSERT INTO rent_paybillrelat (id, paybillkey, contractservicekey, costncu, costcurr) VALUES (2, 1, 3, 151.2, 0);

EXECUTE PROCEDURE rent_p_addinvoicedebt(1);
EXECUTE PROCEDURE rent_p_addinvoicedebt(2);
EXECUTE PROCEDURE rent_p_deletepaybilldebt(1);

UPDATE fin_options SET optionsvalue = '3' WHERE name = 'INVOICENUMBER' AND userkey IS NULL AND subsystemkey = 230;
UPDATE fin_options SET optionsvalue = '2' WHERE name = 'PAYBILLNUMBER' AND userkey IS NULL AND subsystemkey = 230;
