* Field positions of an ORDERS record, and the constants every
* invoice program shares.
EQUATE ORD.CUSTOMER TO 1, ORD.DATE TO 2
EQUATE ORD.ITEMS TO 3, ORD.QTY TO 4, ORD.PRICE TO 5
EQU VM TO CHAR(253)
EQU TAX.RATE TO 19
