* Prints the invoice for one order of the ORDERS file.
*
* Pre-process it from this directory with
*    ../build/bprep2 -I include invoice.b
* and add -DINVOICE.DEBUG to switch the trace lines on.
$INCLUDE invoice.h

#ifdef INVOICE.DEBUG
      EQU TRACE.ON TO 1
#else
      EQU TRACE.ON TO 0
#endif

      DIM TOTALS(3)
      DEFFUN formatMoney(AMOUNT)       ;* an external function: keeps its case

      OPEN 'ORDERS' TO F.ORDERS ELSE STOP 201, 'ORDERS'
      ORDER.ID = 'A1001'
      READ ORDER FROM F.ORDERS, ORDER.ID ELSE
         CRT 'No such order: ':ORDER.ID
         STOP
      END

      MAT TOTALS = 0
      LINES = DCOUNT(ORDER<ORD.ITEMS>, VM)
      PRINT 'Invoice for ':ORDER<ORD.CUSTOMER>:' of ':OCONV(ORDER<ORD.DATE>, 'D4/')
      FOR I = 1 TO LINES
         QTY = ORDER<ORD.QTY, I>
         IF QTY > 0 THEN
            GOSUB PRINT.LINE
         END ELSE
            IF TRACE.ON THEN CRT 'Line ':I:' is empty'
         END
      NEXT I

      TAX = TOTALS(1) * TAX.RATE / 100
      PRINT 'Net':SPACE(10):formatMoney(TOTALS(1))
      PRINT 'Tax':SPACE(10):TAX("R2#12")
      STOP

* One invoice line. The amount is printed with a format mask, which
* becomes an explicit FMT call.
PRINT.LINE:
      PRICE = ORDER<ORD.PRICE, I>
      AMOUNT = QTY * PRICE
      TOTALS(1) += AMOUNT
      IF QTY >= 100 THEN CRT 'Large quantity on line ':I   // checked by hand
      PRINT ORDER<ORD.ITEMS, I> 'L#20':QTY 'R#6':AMOUNT("R2#12")
      RETURN
