* Object syntax: NEW, member references, method calls, static calls
* and a method declaration, all rewritten into calls of the object
* runtime. Pre-process it from this directory with
*    ../build/bprep2 objects.b
* Object syntax switches the object extensions on by itself (the run
* restarts once with them on); add "#option objects" to start with them.

      CUSTOMER = NEW OBJECT("CUSTOMER", "C100")
      CUSTOMER->NAME = "Acme Trading"
      CRT "Customer ":CUSTOMER->NAME
      DUE = CUSTOMER->BALANCE(DATE())
      IF CUSTOMER->OVERDUE = 1 THEN CUSTOMER->SENDSTATEMENT()
      EUROS = CURRENCY::CONVERT(DUE, "EUR")
      HISTORY = NEW ARRAY("INVOICES")
      STOP

METHOD CUSTOMER::BALANCE(ASOF)
      RETURN THIS->OPEN.AMOUNT
END
