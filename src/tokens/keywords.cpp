// The language's reserved words and @-variable names.
//
// The rows are data, in the order the language defines them; the context
// copies them into its lookup tables at construction. A row's flags travel
// in a keyword token's value and steer the scanner and the later passes; the
// special code marks the few words that get a rewrite of their own. BITCHANGE
// stands twice on purpose (the language lists it twice), so the lookup holds
// one name fewer than the table has rows.
#include "tokens/keywords.h"

namespace bprep2 {

namespace {

constexpr KeywordEntry kTable[] = {
    // the built-in system values, rewritten by their special code
    {"$QUOLT", 0, specialQuolt}, {"$quolt", 0, specialQuolt}, {"$FILE", 0, specialFile},
    {"$file", 0, specialFile}, {"$SYSTEM", 0, specialSystem}, {"$system", 0, specialSystem},
    {"$DEVELOPMENT", 0, specialDevelopment}, {"$development", 0, specialDevelopment},
    // statement keywords
    {"ABORT", kwKeyword}, {"ALL", kwKeyword}, {"AND", kwKeyword}, {"APPEND", kwKeyword},
    {"APPENDING", kwKeyword}, {"ARG.", kwKeyword}, {"ASSIGN", kwKeyword}, {"AT", kwKeyword},
    {"ATKEY", kwKeyword}, {"BEFORE", kwKeyword}, {"BITLOAD", kwKeyword}, {"BREAK", kwKeyword},
    {"BY", kwKeyword}, {"CAPTURING", kwKeyword}, {"CASE", kwKeyword}, {"CASING", kwKeyword}, {"CAT", kwKeyword},
    {"CHAIN", kwKeyword}, {"CLEAR", kwKeyword}, {"CLEARCOMMON", kwKeyword}, {"CLEARDATA", kwKeyword},
    {"CLEARFILE", kwKeyword}, {"CLEARINPUT", kwKeyword}, {"CLEARSELECT", kwKeyword}, {"CLOSE", kwKeyword},
    {"CLOSESEQ", kwKeyword}, {"COLLECTDATA", kwKeyword}, {"COMPARE", kwKeyword}, {"CONTINUE", kwKeyword},
    {"CONTROLCHAR", kwKeyword}, {"CONVERT", kwKeyword}, {"CRC", kwKeyword}, {"CRT", kwKeyword},
    {"CREATE", kwKeyword}, {"DATA", kwKeyword}, {"DECLARE", kwKeyword}, {"DEL", kwKeyword},
    {"DELETE", kwKeyword}, {"DELETEU", kwKeyword}, {"DELETELIST", kwKeyword}, {"DELETESEQ", kwKeyword},
    {"DISPLAY", kwKeyword}, {"DO", kwKeyword}, {"DROUND", kwKeyword}, {"DTX", kwKeyword}, {"ECHO", kwKeyword},
    {"ENTER", kwKeyword}, {"EQ", kwKeyword}, {"EREPLACE", kwKeyword}, {"ERRTEXT", kwKeyword},
    {"EXEC", kwKeyword}, {"EXECUTE", kwKeyword}, {"EXISTING", kwKeyword}, {"EXIT", kwKeyword},
    {"EXTRACT", kwKeyword}, {"FFIX", kwKeyword}, {"FIELDS", kwKeyword}, {"FILELOCK", kwKeyword},
    {"FILEUNLOCK", kwKeyword}, {"FIND", kwKeyword}, {"FINDSTR", kwKeyword}, {"FLOAT", kwKeyword},
    {"FLUSH", kwKeyword}, {"FMT", kwKeyword}, {"FMTS", kwKeyword}, {"FOOTING", kwKeyword},
    {"FORMLIST", kwKeyword}, {"FROM", kwKeyword}, {"GARBAGECOLLECT", kwKeyword}, {"GE", kwKeyword},
    {"GET", kwKeyword}, {"GETCWD", kwKeyword}, {"GETX", kwKeyword}, {"GETENV", kwKeyword},
    {"GETLIST", kwKeyword}, {"GO", kwKeyword}, {"GOSUB", kwKeyword}, {"GOTO", kwKeyword},
    {"GROUPSTORE", kwKeyword}, {"GT", kwKeyword}, {"HEADING", kwKeyword}, {"HEADINGE", kwKeyword},
    {"HEADINGN", kwKeyword}, {"HUSH", kwKeyword}, {"IN", kwKeyword}, {"INDICES", kwKeyword},
    {"INPUT", kwKeyword}, {"INMAT", kwKeyword}, {"INPUTCLEAR", kwKeyword}, {"INPUTERR", kwKeyword},
    {"INPUTTRAP", kwKeyword}, {"INS", kwKeyword}, {"INSERT", kwKeyword}, {"QAC_VARARG", kwKeyword},
    {"ZQLCOMPILE", kwKeyword}, {"ZQLGETPROPERTY", kwKeyword}, {"ZQLPUTPROPERTY", kwKeyword},
    {"ZQLEXECUTE", kwKeyword}, {"ZQLFETCH", kwKeyword}, {"ZQLCLOSESTATMENT", kwKeyword}, {"KEY", kwKeyword},
    {"KEYIN", kwKeyword}, {"LE", kwKeyword}, {"LOCATE", kwKeyword}, {"LOCK", kwKeyword}, {"LOCKED", kwKeyword},
    {"LT", kwKeyword}, {"MAT", kwKeyword}, {"MATCH", kwKeyword}, {"MATCHES", kwKeyword},
    {"MATBUILD", kwKeyword}, {"MATPARSE", kwKeyword}, {"MATREAD", kwKeyword}, {"MATREADL", kwKeyword},
    {"MATREADU", kwKeyword}, {"MATVAR", kwKeyword}, {"MATWRITE", kwKeyword}, {"MATWRITEU", kwKeyword},
    {"MDPERFORM", kwKeyword}, {"MSG.", kwKeyword}, {"MSLEEP", kwKeyword}, {"MTU", kwKeyword}, {"NE", kwKeyword},
    {"NOBUF", kwKeyword}, {"NULL", kwKeyword}, {"OBJEXCALLBACK", kwKeyword}, {"OFF", kwKeyword},
    {"ON", kwKeyword}, {"OPEN", kwKeyword}, {"OPENINDEX", kwKeyword}, {"OPENSEQ", kwKeyword},
    {"OPENSER", kwKeyword}, {"OPENDEV", kwKeyword}, {"OPENPATH", kwKeyword}, {"OR", kwKeyword},
    {"OSOPEN", kwKeyword}, {"OSREAD", kwKeyword}, {"OSDELETE", kwKeyword}, {"OSWRITE", kwKeyword},
    {"OSCLOSE", kwKeyword}, {"OSBREAD", kwKeyword}, {"OSBWRITE", kwKeyword}, {"OUT", kwKeyword},
    {"PAGE", kwKeyword}, {"PASSDATA", kwKeyword}, {"PASSLIST", kwKeyword}, {"PAUSE", kwKeyword},
    {"PERFORM", kwKeyword}, {"PCPERFORM", kwKeyword}, {"PERROR", kwKeyword}, {"PRECISION", kwKeyword},
    {"PRINT", kwKeyword}, {"PRINTER", kwKeyword}, {"PRINTERR", kwKeyword}, {"PROCREAD", kwKeyword},
    {"PROCWRITE", kwKeyword}, {"PROGRAM", kwKeyword}, {"PROMPT", kwKeyword}, {"RANDOMIZE", kwKeyword},
    {"READ", kwKeyword}, {"READLIST", kwKeyword}, {"READSELECT", kwKeyword}, {"READNEXT", kwKeyword},
    {"READONLY", kwKeyword}, {"READPREV", kwKeyword}, {"READBLK", kwKeyword}, {"READSEQ", kwKeyword},
    {"READT", kwKeyword}, {"READTX", kwKeyword}, {"READU", kwKeyword}, {"READL", kwKeyword},
    {"READV", kwKeyword}, {"READVL", kwKeyword}, {"READVU", kwKeyword}, {"READX", kwKeyword},
    {"READXU", kwKeyword}, {"READXL", kwKeyword}, {"READXML", kwKeyword}, {"READXMLU", kwKeyword},
    {"RECORDLOCKU", kwKeyword}, {"RECORDLOCKL", kwKeyword}, {"REGEXP", kwKeyword}, {"RELEASE", kwKeyword},
    {"REMOVE", kwKeyword}, {"REPLACE", kwKeyword}, {"RESET", kwKeyword}, {"RETURN", kwKeyword},
    {"RETURNING", kwKeyword}, {"REWIND", kwKeyword}, {"RTNDATA", kwKeyword}, {"RTNLIST", kwKeyword},
    {"RQM", kwKeyword}, {"SADD", kwKeyword}, {"SDIV", kwKeyword}, {"SECTION", kwKeyword}, {"SEEK", kwKeyword},
    {"SELECT", kwKeyword}, {"SELECTE", kwKeyword}, {"SELECTN", kwKeyword}, {"SELECTV", kwKeyword},
    {"SELECTINDEX", kwKeyword}, {"SELECTINFO", kwKeyword}, {"SEND", kwKeyword}, {"SENDX", kwKeyword},
    {"SENTENCE", kwKeyword}, {"SETTING", kwKeyword}, {"SLEEP", kwKeyword}, {"SMALLINT", kwKeyword},
    {"SMUL", kwKeyword}, {"SSELECT", kwKeyword}, {"SSELECTN", kwKeyword}, {"SSELECTV", kwKeyword},
    {"SQL", kwKeyword}, {"SSUB", kwKeyword}, {"STATUS", kwKeyword}, {"STEP", kwKeyword}, {"STOP", kwKeyword},
    {"STOPE", kwKeyword, specialStop}, {"STOPM", kwKeyword, specialStop}, {"STRING", kwKeyword},
    {"SUBR", kwKeyword}, {"SWAP", kwKeyword}, {"SYNC", kwKeyword}, {"TA", kwKeyword}, {"TABLE", kwKeyword},
    {"TIMEOUT", kwKeyword}, {"TO", kwKeyword}, {"TRANS", kwKeyword}, {"TRANSABORT", kwKeyword},
    {"TRANSEND", kwKeyword}, {"TRANSTART", kwKeyword}, {"TRIM", kwKeyword}, {"TTYCTL", kwKeyword},
    {"TTYGET", kwKeyword}, {"TTYSET", kwKeyword}, {"UDTEXECUTE", kwKeyword}, {"UNFILTERED", kwKeyword},
    {"UNLOCK", kwKeyword}, {"UNIT", kwKeyword}, {"UNTIL", kwKeyword}, {"USING", kwKeyword}, {"VAR", kwKeyword},
    {"WAKE", kwKeyword}, {"WAITING", kwKeyword}, {"WEOF", kwKeyword}, {"WEOFSEQ", kwKeyword},
    {"WHILE", kwKeyword}, {"WITH", kwKeyword}, {"WRITE", kwKeyword}, {"WRITELIST", kwKeyword},
    {"WRITEP", kwKeyword}, {"WRITEPU", kwKeyword}, {"WRITEU", kwKeyword}, {"WRITEBLK", kwKeyword},
    {"WRITESEQ", kwKeyword}, {"WRITESEQF", kwKeyword}, {"WRITET", kwKeyword}, {"WRITETX", kwKeyword},
    {"WRITEV", kwKeyword}, {"WRITEVU", kwKeyword}, {"WRITEX", kwKeyword}, {"WRITEXU", kwKeyword},
    {"WRITEXML", kwKeyword}, {"WRITEXMLU", kwKeyword}, {"XLATE", kwKeyword}, {"XMLTOXML", kwKeyword},
    {"XMLTODYN", kwKeyword}, {"DYNTOXML", kwKeyword}, {"XML.ADD.TEXT", kwKeyword}, {"XML.ADD.NODE", kwKeyword},
    {"XML.VALIDATE", kwKeyword}, {"XML.GET.TAG.VALUE", kwKeyword}, {"XML.REMOVE.TAG.VALUE", kwKeyword},
    {"XTD", kwKeyword}, {"BLOB", kwKeyword}, {"VARCHAR", kwKeyword},
    // built-in functions
    {"ABS", kwFunction1}, {"ABSS", kwFunction1}, {"ACOS", kwFunction1}, {"ALPHA", kwFunction1},
    {"ASCII", kwFunction1}, {"ASIN", kwFunction1}, {"ASSIGNED", kwFunction1}, {"ATAN", kwFunction1},
    {"BITCHANGE", kwFunction1}, {"BITCHANGE", kwFunction1}, {"BITCHECK", kwFunction1}, {"BITNOT", kwFunction1},
    {"BITRESET", kwFunction1}, {"BITSET", kwFunction1}, {"BYTELEN", kwFunction1}, {"CHAR", kwFunction1},
    {"CHARS", kwFunction1}, {"CHDIR", kwFunction1}, {"CHECKSUM", kwFunction1}, {"COS", kwFunction1},
    {"DELENV", kwFunction1}, {"DIR", kwFunction1}, {"DOWNCASE", kwFunction1}, {"DQUOTE", kwFunction1},
    {"EBCDIC", kwFunction1}, {"EXP", kwFunction1}, {"FFLT", kwFunction1}, {"GETUSERGROUP", kwFunction1},
    {"GETUSERNAME", kwFunction1}, {"ITYPE", kwFunction1}, {"ISALNUM", kwFunction1}, {"ISALPHA", kwFunction1},
    {"ISCNTRL", kwFunction1}, {"ISDIGIT", kwFunction1}, {"ISGRAPH", kwFunction1}, {"ISLOWER", kwFunction1},
    {"ISPRINT", kwFunction1}, {"ISPUNCT", kwFunction1}, {"ISSPACE", kwFunction1}, {"ISUPPER", kwFunction1},
    {"ISXDIGIT", kwFunction1}, {"LATIN1", kwFunction1}, {"LEN", kwFunction1}, {"LENDP", kwFunction1},
    {"LENS", kwFunction1}, {"LENSDP", kwFunction1}, {"LN", kwFunction1}, {"LOWCASE", kwFunction1},
    {"LOWER", kwFunction1}, {"MAXIMUM", kwFunction1}, {"MINIMUM", kwFunction1}, {"NEG", kwFunction1},
    {"NEGS", kwFunction1}, {"NOT", kwFunction1}, {"NOTS", kwFunction1}, {"NUM", kwFunction1},
    {"NUMS", kwFunction1}, {"PUTENV", kwFunction1}, {"QUOTE", kwFunction1}, {"RAISE", kwFunction1},
    {"REUSE", kwFunction1}, {"RND", kwFunction1}, {"SEQ", kwFunction1}, {"SEQS", kwFunction1},
    {"SIN", kwFunction1}, {"SORT", kwFunction1}, {"SOUNDEX", kwFunction1}, {"SPACE", kwFunction1},
    {"SPACES", kwFunction1}, {"SPOOLER", kwFunction1}, {"SQRT", kwFunction1}, {"SQUOTE", kwFunction1},
    {"SUM", kwFunction1}, {"SUMMATION", kwFunction1}, {"TAN", kwFunction1}, {"TRANSSYNC", kwFunction1},
    {"TRIMS", kwFunction1}, {"TRIMB", kwFunction1}, {"TRIMBS", kwFunction1}, {"TRIMFS", kwFunction1},
    {"TRIMF", kwFunction1}, {"UNASSIGNED", kwFunction1}, {"UPCASE", kwFunction1}, {"UTF8", kwFunction1},
    // built-in functions of the second group
    {"ADDS", kwFunction2}, {"ANDS", kwFunction2}, {"BITAND", kwFunction2}, {"BITOR", kwFunction2},
    {"BITXOR", kwFunction2}, {"CATS", kwFunction2}, {"CHANGETIMESTAMP", kwFunction2}, {"COUNT", kwFunction2},
    {"COUNTS", kwFunction2}, {"DCOUNT", kwFunction2}, {"DIV", kwFunction2}, {"DIVS", kwFunction2},
    {"EQS", kwFunction2}, {"FADD", kwFunction2}, {"FCMP", kwFunction2}, {"FDIV", kwFunction2},
    {"FILEINFO", kwFunction2}, {"FMUL", kwFunction2}, {"FOLD", kwFunction2}, {"FSUB", kwFunction2},
    {"GES", kwFunction2}, {"GTS", kwFunction2}, {"ICONV", kwFunction2}, {"ICONVS", kwFunction2},
    {"QUOLTCOREDUMP", kwFunction2}, {"LES", kwFunction2}, {"LEFT", kwFunction2}, {"LOCALDATE", kwFunction2},
    {"LOCALTIME", kwFunction2}, {"LTS", kwFunction2}, {"MOD", kwFunction2}, {"MODS", kwFunction2},
    {"MULS", kwFunction2}, {"NES", kwFunction2}, {"OCONV", kwFunction2}, {"OCONVS", kwFunction2},
    {"ORS", kwFunction2}, {"PWR", kwFunction2}, {"RECORDLOCKED", kwFunction2}, {"REM", kwFunction2},
    {"RIGHT", kwFunction2}, {"SCMP", kwFunction2}, {"STR", kwFunction2}, {"STRS", kwFunction2},
    {"SUBS", kwFunction2},
    // built-in functions of the third group
    {"COL1", kwFunction3}, {"COL2", kwFunction3}, {"DATE", kwFunction3}, {"DECRYPT", kwFunction3},
    {"ENCRYPT", kwFunction3}, {"GROUP", kwFunction3}, {"IFS", kwFunction3}, {"INDEX", kwFunction3},
    {"INPUTNULL", kwFunction3}, {"IOCTL", kwFunction3}, {"MAKETIMESTAMP", kwFunction3},
    {"MATCHFIELD", kwFunction3}, {"SPLICE", kwFunction3}, {"SUBSTRINGS", kwFunction3}, {"SYSTEM", kwFunction3},
    {"TIME", kwFunction3}, {"TIMEDATE", kwFunction3}, {"TIMEDIFF", kwFunction3}, {"TIMESTAMP", kwFunction3},
    {"TRANSQUERY", kwFunction3}, {"UNIQUEKEY", kwFunction3},
    // function form only, never a statement
    {"INT", kwArgs},
    // statement or function, by what follows
    {"CHANGE", kwKeyword | kwArgs}, {"FIELD", kwKeyword | kwArgs},
    // object syntax
    {"NEW", kwKeyword | kwObject},
    // object syntax with a parameter list
    {"METHOD", kwKeyword | kwObject | kwCallLike},
    // block words
    {"BEGIN", kwKeyword | kwBlock}, {"END", kwKeyword | kwBlock}, {"FOR", kwKeyword | kwBlock},
    {"IF", kwKeyword | kwBlock}, {"LOOP", kwKeyword | kwBlock}, {"NEXT", kwKeyword | kwBlock},
    {"REPEAT", kwKeyword | kwBlock},
    // THEN and ELSE join the previous line
    {"ELSE", kwKeyword | kwThenElse | kwBlock}, {"THEN", kwKeyword | kwThenElse | kwBlock},
    // statements with a rewrite of their own
    {"DEBUG", kwKeyword | kwDebug}, {"ERROR", kwKeyword | kwError}, {"TCLREAD", kwKeyword | kwTclread},
    // external function declarations
    {"DEFB", kwKeyword | kwObject | kwDeclaration},
    {"DEFFUN", kwKeyword | kwObject | kwDeclaration, specialDeffun},
    {"DEFC", kwKeyword | kwObject | kwDeclaration}, {"DEFCE", kwKeyword | kwObject | kwDeclaration},
    {"DEFCPP", kwKeyword | kwObject | kwDeclaration},
    // dimension lists follow
    {"COM", kwKeyword | kwDimension}, {"COMMON", kwKeyword | kwDimension}, {"DIM", kwKeyword | kwDimension},
    {"DIMENSION", kwKeyword | kwDimension},
    // call-like words: MAT arguments and called names
    {"CALL", kwKeyword | kwCallLike}, {"CALLC", kwKeyword | kwCallLike}, {"CALLJ", kwKeyword | kwCallLike},
    {"CALLdotNET", kwKeyword | kwCallLike}, {"FUNCTION", kwKeyword | kwCallLike},
    {"SUB", kwKeyword | kwCallLike}, {"SUBROUTINE", kwKeyword | kwCallLike},
    {"CALLONEXIT", kwFunction1 | kwCallLike},
};

constexpr std::string_view kAtVariables[] = {
    "ACCOUNT", "AM", "APPLICATION_ID", "COMMAND", "CR", "DATA", "DAY", "EOF", "ESC", "FALSE",
    "FILENAME", "FF", "FM", "ID", "IM", "RM", "LEVEL", "LF", "LOGNAME", "LPTRHIGH", "MONTH",
    "PARASENTENCE", "PATH", "RECORD", "SELECTED", "SM", "SVM", "SYSTEM_RETURN_CODE", "SYS_BELL",
    "TAB", "TERM_TYPE", "TM", "TRUE", "TTY", "UDTNO", "UID", "USERNO", "USER_NO", "USER_TYPE",
    "USER_RETURN_CODE", "USER_ROOT", "USER_THREAD", "USERSTATS", "VM", "WHO", "YEAR", "LOCALE",
    "CODEPAGE", "TIMEZONE", "CALLSTACK", "PID",
};

static_assert(sizeof(kTable) / sizeof(kTable[0]) == 468, "keyword table rows");
static_assert(sizeof(kAtVariables) / sizeof(kAtVariables[0]) == 51, "@-variable names");

}  // namespace

std::span<const KeywordEntry> keywordTable() { return kTable; }

std::span<const std::string_view> atVariableNames() { return kAtVariables; }

}  // namespace bprep2
