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
    // flags 0: the built-in system values, rewritten by their special code
    {"$QUOLT", 0x0, 3}, {"$quolt", 0x0, 3}, {"$FILE", 0x0, 4}, {"$file", 0x0, 4},
    {"$SYSTEM", 0x0, 5}, {"$system", 0x0, 5}, {"$DEVELOPMENT", 0x0, 6}, {"$development", 0x0, 6},
    // statement keywords
    {"ABORT", 0x1, 0}, {"ALL", 0x1, 0}, {"AND", 0x1, 0}, {"APPEND", 0x1, 0}, {"APPENDING", 0x1, 0},
    {"ARG.", 0x1, 0}, {"ASSIGN", 0x1, 0}, {"AT", 0x1, 0}, {"ATKEY", 0x1, 0}, {"BEFORE", 0x1, 0},
    {"BITLOAD", 0x1, 0}, {"BREAK", 0x1, 0}, {"BY", 0x1, 0}, {"CAPTURING", 0x1, 0},
    {"CASE", 0x1, 0}, {"CASING", 0x1, 0}, {"CAT", 0x1, 0}, {"CHAIN", 0x1, 0}, {"CLEAR", 0x1, 0},
    {"CLEARCOMMON", 0x1, 0}, {"CLEARDATA", 0x1, 0}, {"CLEARFILE", 0x1, 0}, {"CLEARINPUT", 0x1, 0},
    {"CLEARSELECT", 0x1, 0}, {"CLOSE", 0x1, 0}, {"CLOSESEQ", 0x1, 0}, {"COLLECTDATA", 0x1, 0},
    {"COMPARE", 0x1, 0}, {"CONTINUE", 0x1, 0}, {"CONTROLCHAR", 0x1, 0}, {"CONVERT", 0x1, 0},
    {"CRC", 0x1, 0}, {"CRT", 0x1, 0}, {"CREATE", 0x1, 0}, {"DATA", 0x1, 0}, {"DECLARE", 0x1, 0},
    {"DEL", 0x1, 0}, {"DELETE", 0x1, 0}, {"DELETEU", 0x1, 0}, {"DELETELIST", 0x1, 0},
    {"DELETESEQ", 0x1, 0}, {"DISPLAY", 0x1, 0}, {"DO", 0x1, 0}, {"DROUND", 0x1, 0},
    {"DTX", 0x1, 0}, {"ECHO", 0x1, 0}, {"ENTER", 0x1, 0}, {"EQ", 0x1, 0}, {"EREPLACE", 0x1, 0},
    {"ERRTEXT", 0x1, 0}, {"EXEC", 0x1, 0}, {"EXECUTE", 0x1, 0}, {"EXISTING", 0x1, 0},
    {"EXIT", 0x1, 0}, {"EXTRACT", 0x1, 0}, {"FFIX", 0x1, 0}, {"FIELDS", 0x1, 0},
    {"FILELOCK", 0x1, 0}, {"FILEUNLOCK", 0x1, 0}, {"FIND", 0x1, 0}, {"FINDSTR", 0x1, 0},
    {"FLOAT", 0x1, 0}, {"FLUSH", 0x1, 0}, {"FMT", 0x1, 0}, {"FMTS", 0x1, 0}, {"FOOTING", 0x1, 0},
    {"FORMLIST", 0x1, 0}, {"FROM", 0x1, 0}, {"GARBAGECOLLECT", 0x1, 0}, {"GE", 0x1, 0},
    {"GET", 0x1, 0}, {"GETCWD", 0x1, 0}, {"GETX", 0x1, 0}, {"GETENV", 0x1, 0}, {"GETLIST", 0x1, 0},
    {"GO", 0x1, 0}, {"GOSUB", 0x1, 0}, {"GOTO", 0x1, 0}, {"GROUPSTORE", 0x1, 0}, {"GT", 0x1, 0},
    {"HEADING", 0x1, 0}, {"HEADINGE", 0x1, 0}, {"HEADINGN", 0x1, 0}, {"HUSH", 0x1, 0},
    {"IN", 0x1, 0}, {"INDICES", 0x1, 0}, {"INPUT", 0x1, 0}, {"INMAT", 0x1, 0},
    {"INPUTCLEAR", 0x1, 0}, {"INPUTERR", 0x1, 0}, {"INPUTTRAP", 0x1, 0}, {"INS", 0x1, 0},
    {"INSERT", 0x1, 0}, {"QAC_VARARG", 0x1, 0}, {"ZQLCOMPILE", 0x1, 0}, {"ZQLGETPROPERTY", 0x1, 0},
    {"ZQLPUTPROPERTY", 0x1, 0}, {"ZQLEXECUTE", 0x1, 0}, {"ZQLFETCH", 0x1, 0},
    {"ZQLCLOSESTATMENT", 0x1, 0}, {"KEY", 0x1, 0}, {"KEYIN", 0x1, 0}, {"LE", 0x1, 0},
    {"LOCATE", 0x1, 0}, {"LOCK", 0x1, 0}, {"LOCKED", 0x1, 0}, {"LT", 0x1, 0}, {"MAT", 0x1, 0},
    {"MATCH", 0x1, 0}, {"MATCHES", 0x1, 0}, {"MATBUILD", 0x1, 0}, {"MATPARSE", 0x1, 0},
    {"MATREAD", 0x1, 0}, {"MATREADL", 0x1, 0}, {"MATREADU", 0x1, 0}, {"MATVAR", 0x1, 0},
    {"MATWRITE", 0x1, 0}, {"MATWRITEU", 0x1, 0}, {"MDPERFORM", 0x1, 0}, {"MSG.", 0x1, 0},
    {"MSLEEP", 0x1, 0}, {"MTU", 0x1, 0}, {"NE", 0x1, 0}, {"NOBUF", 0x1, 0}, {"NULL", 0x1, 0},
    {"OBJEXCALLBACK", 0x1, 0}, {"OFF", 0x1, 0}, {"ON", 0x1, 0}, {"OPEN", 0x1, 0},
    {"OPENINDEX", 0x1, 0}, {"OPENSEQ", 0x1, 0}, {"OPENSER", 0x1, 0}, {"OPENDEV", 0x1, 0},
    {"OPENPATH", 0x1, 0}, {"OR", 0x1, 0}, {"OSOPEN", 0x1, 0}, {"OSREAD", 0x1, 0},
    {"OSDELETE", 0x1, 0}, {"OSWRITE", 0x1, 0}, {"OSCLOSE", 0x1, 0}, {"OSBREAD", 0x1, 0},
    {"OSBWRITE", 0x1, 0}, {"OUT", 0x1, 0}, {"PAGE", 0x1, 0}, {"PASSDATA", 0x1, 0},
    {"PASSLIST", 0x1, 0}, {"PAUSE", 0x1, 0}, {"PERFORM", 0x1, 0}, {"PCPERFORM", 0x1, 0},
    {"PERROR", 0x1, 0}, {"PRECISION", 0x1, 0}, {"PRINT", 0x1, 0}, {"PRINTER", 0x1, 0},
    {"PRINTERR", 0x1, 0}, {"PROCREAD", 0x1, 0}, {"PROCWRITE", 0x1, 0}, {"PROGRAM", 0x1, 0},
    {"PROMPT", 0x1, 0}, {"RANDOMIZE", 0x1, 0}, {"READ", 0x1, 0}, {"READLIST", 0x1, 0},
    {"READSELECT", 0x1, 0}, {"READNEXT", 0x1, 0}, {"READONLY", 0x1, 0}, {"READPREV", 0x1, 0},
    {"READBLK", 0x1, 0}, {"READSEQ", 0x1, 0}, {"READT", 0x1, 0}, {"READTX", 0x1, 0},
    {"READU", 0x1, 0}, {"READL", 0x1, 0}, {"READV", 0x1, 0}, {"READVL", 0x1, 0},
    {"READVU", 0x1, 0}, {"READX", 0x1, 0}, {"READXU", 0x1, 0}, {"READXL", 0x1, 0},
    {"READXML", 0x1, 0}, {"READXMLU", 0x1, 0}, {"RECORDLOCKU", 0x1, 0}, {"RECORDLOCKL", 0x1, 0},
    {"REGEXP", 0x1, 0}, {"RELEASE", 0x1, 0}, {"REMOVE", 0x1, 0}, {"REPLACE", 0x1, 0},
    {"RESET", 0x1, 0}, {"RETURN", 0x1, 0}, {"RETURNING", 0x1, 0}, {"REWIND", 0x1, 0},
    {"RTNDATA", 0x1, 0}, {"RTNLIST", 0x1, 0}, {"RQM", 0x1, 0}, {"SADD", 0x1, 0}, {"SDIV", 0x1, 0},
    {"SECTION", 0x1, 0}, {"SEEK", 0x1, 0}, {"SELECT", 0x1, 0}, {"SELECTE", 0x1, 0},
    {"SELECTN", 0x1, 0}, {"SELECTV", 0x1, 0}, {"SELECTINDEX", 0x1, 0}, {"SELECTINFO", 0x1, 0},
    {"SEND", 0x1, 0}, {"SENDX", 0x1, 0}, {"SENTENCE", 0x1, 0}, {"SETTING", 0x1, 0},
    {"SLEEP", 0x1, 0}, {"SMALLINT", 0x1, 0}, {"SMUL", 0x1, 0}, {"SSELECT", 0x1, 0},
    {"SSELECTN", 0x1, 0}, {"SSELECTV", 0x1, 0}, {"SQL", 0x1, 0}, {"SSUB", 0x1, 0},
    {"STATUS", 0x1, 0}, {"STEP", 0x1, 0}, {"STOP", 0x1, 0}, {"STOPE", 0x1, 2}, {"STOPM", 0x1, 2},
    {"STRING", 0x1, 0}, {"SUBR", 0x1, 0}, {"SWAP", 0x1, 0}, {"SYNC", 0x1, 0}, {"TA", 0x1, 0},
    {"TABLE", 0x1, 0}, {"TIMEOUT", 0x1, 0}, {"TO", 0x1, 0}, {"TRANS", 0x1, 0},
    {"TRANSABORT", 0x1, 0}, {"TRANSEND", 0x1, 0}, {"TRANSTART", 0x1, 0}, {"TRIM", 0x1, 0},
    {"TTYCTL", 0x1, 0}, {"TTYGET", 0x1, 0}, {"TTYSET", 0x1, 0}, {"UDTEXECUTE", 0x1, 0},
    {"UNFILTERED", 0x1, 0}, {"UNLOCK", 0x1, 0}, {"UNIT", 0x1, 0}, {"UNTIL", 0x1, 0},
    {"USING", 0x1, 0}, {"VAR", 0x1, 0}, {"WAKE", 0x1, 0}, {"WAITING", 0x1, 0}, {"WEOF", 0x1, 0},
    {"WEOFSEQ", 0x1, 0}, {"WHILE", 0x1, 0}, {"WITH", 0x1, 0}, {"WRITE", 0x1, 0},
    {"WRITELIST", 0x1, 0}, {"WRITEP", 0x1, 0}, {"WRITEPU", 0x1, 0}, {"WRITEU", 0x1, 0},
    {"WRITEBLK", 0x1, 0}, {"WRITESEQ", 0x1, 0}, {"WRITESEQF", 0x1, 0}, {"WRITET", 0x1, 0},
    {"WRITETX", 0x1, 0}, {"WRITEV", 0x1, 0}, {"WRITEVU", 0x1, 0}, {"WRITEX", 0x1, 0},
    {"WRITEXU", 0x1, 0}, {"WRITEXML", 0x1, 0}, {"WRITEXMLU", 0x1, 0}, {"XLATE", 0x1, 0},
    {"XMLTOXML", 0x1, 0}, {"XMLTODYN", 0x1, 0}, {"DYNTOXML", 0x1, 0}, {"XML.ADD.TEXT", 0x1, 0},
    {"XML.ADD.NODE", 0x1, 0}, {"XML.VALIDATE", 0x1, 0}, {"XML.GET.TAG.VALUE", 0x1, 0},
    {"XML.REMOVE.TAG.VALUE", 0x1, 0}, {"XTD", 0x1, 0}, {"BLOB", 0x1, 0}, {"VARCHAR", 0x1, 0},
    // built-in functions
    {"ABS", 0x2, 0}, {"ABSS", 0x2, 0}, {"ACOS", 0x2, 0}, {"ALPHA", 0x2, 0}, {"ASCII", 0x2, 0},
    {"ASIN", 0x2, 0}, {"ASSIGNED", 0x2, 0}, {"ATAN", 0x2, 0}, {"BITCHANGE", 0x2, 0},
    {"BITCHANGE", 0x2, 0}, {"BITCHECK", 0x2, 0}, {"BITNOT", 0x2, 0}, {"BITRESET", 0x2, 0},
    {"BITSET", 0x2, 0}, {"BYTELEN", 0x2, 0}, {"CHAR", 0x2, 0}, {"CHARS", 0x2, 0},
    {"CHDIR", 0x2, 0}, {"CHECKSUM", 0x2, 0}, {"COS", 0x2, 0}, {"DELENV", 0x2, 0}, {"DIR", 0x2, 0},
    {"DOWNCASE", 0x2, 0}, {"DQUOTE", 0x2, 0}, {"EBCDIC", 0x2, 0}, {"EXP", 0x2, 0},
    {"FFLT", 0x2, 0}, {"GETUSERGROUP", 0x2, 0}, {"GETUSERNAME", 0x2, 0}, {"ITYPE", 0x2, 0},
    {"ISALNUM", 0x2, 0}, {"ISALPHA", 0x2, 0}, {"ISCNTRL", 0x2, 0}, {"ISDIGIT", 0x2, 0},
    {"ISGRAPH", 0x2, 0}, {"ISLOWER", 0x2, 0}, {"ISPRINT", 0x2, 0}, {"ISPUNCT", 0x2, 0},
    {"ISSPACE", 0x2, 0}, {"ISUPPER", 0x2, 0}, {"ISXDIGIT", 0x2, 0}, {"LATIN1", 0x2, 0},
    {"LEN", 0x2, 0}, {"LENDP", 0x2, 0}, {"LENS", 0x2, 0}, {"LENSDP", 0x2, 0}, {"LN", 0x2, 0},
    {"LOWCASE", 0x2, 0}, {"LOWER", 0x2, 0}, {"MAXIMUM", 0x2, 0}, {"MINIMUM", 0x2, 0},
    {"NEG", 0x2, 0}, {"NEGS", 0x2, 0}, {"NOT", 0x2, 0}, {"NOTS", 0x2, 0}, {"NUM", 0x2, 0},
    {"NUMS", 0x2, 0}, {"PUTENV", 0x2, 0}, {"QUOTE", 0x2, 0}, {"RAISE", 0x2, 0}, {"REUSE", 0x2, 0},
    {"RND", 0x2, 0}, {"SEQ", 0x2, 0}, {"SEQS", 0x2, 0}, {"SIN", 0x2, 0}, {"SORT", 0x2, 0},
    {"SOUNDEX", 0x2, 0}, {"SPACE", 0x2, 0}, {"SPACES", 0x2, 0}, {"SPOOLER", 0x2, 0},
    {"SQRT", 0x2, 0}, {"SQUOTE", 0x2, 0}, {"SUM", 0x2, 0}, {"SUMMATION", 0x2, 0}, {"TAN", 0x2, 0},
    {"TRANSSYNC", 0x2, 0}, {"TRIMS", 0x2, 0}, {"TRIMB", 0x2, 0}, {"TRIMBS", 0x2, 0},
    {"TRIMFS", 0x2, 0}, {"TRIMF", 0x2, 0}, {"UNASSIGNED", 0x2, 0}, {"UPCASE", 0x2, 0},
    {"UTF8", 0x2, 0},
    // built-in functions of the second group
    {"ADDS", 0x4, 0}, {"ANDS", 0x4, 0}, {"BITAND", 0x4, 0}, {"BITOR", 0x4, 0}, {"BITXOR", 0x4, 0},
    {"CATS", 0x4, 0}, {"CHANGETIMESTAMP", 0x4, 0}, {"COUNT", 0x4, 0}, {"COUNTS", 0x4, 0},
    {"DCOUNT", 0x4, 0}, {"DIV", 0x4, 0}, {"DIVS", 0x4, 0}, {"EQS", 0x4, 0}, {"FADD", 0x4, 0},
    {"FCMP", 0x4, 0}, {"FDIV", 0x4, 0}, {"FILEINFO", 0x4, 0}, {"FMUL", 0x4, 0}, {"FOLD", 0x4, 0},
    {"FSUB", 0x4, 0}, {"GES", 0x4, 0}, {"GTS", 0x4, 0}, {"ICONV", 0x4, 0}, {"ICONVS", 0x4, 0},
    {"QUOLTCOREDUMP", 0x4, 0}, {"LES", 0x4, 0}, {"LEFT", 0x4, 0}, {"LOCALDATE", 0x4, 0},
    {"LOCALTIME", 0x4, 0}, {"LTS", 0x4, 0}, {"MOD", 0x4, 0}, {"MODS", 0x4, 0}, {"MULS", 0x4, 0},
    {"NES", 0x4, 0}, {"OCONV", 0x4, 0}, {"OCONVS", 0x4, 0}, {"ORS", 0x4, 0}, {"PWR", 0x4, 0},
    {"RECORDLOCKED", 0x4, 0}, {"REM", 0x4, 0}, {"RIGHT", 0x4, 0}, {"SCMP", 0x4, 0},
    {"STR", 0x4, 0}, {"STRS", 0x4, 0}, {"SUBS", 0x4, 0},
    // built-in functions of the third group
    {"COL1", 0x8, 0}, {"COL2", 0x8, 0}, {"DATE", 0x8, 0}, {"DECRYPT", 0x8, 0}, {"ENCRYPT", 0x8, 0},
    {"GROUP", 0x8, 0}, {"IFS", 0x8, 0}, {"INDEX", 0x8, 0}, {"INPUTNULL", 0x8, 0},
    {"IOCTL", 0x8, 0}, {"MAKETIMESTAMP", 0x8, 0}, {"MATCHFIELD", 0x8, 0}, {"SPLICE", 0x8, 0},
    {"SUBSTRINGS", 0x8, 0}, {"SYSTEM", 0x8, 0}, {"TIME", 0x8, 0}, {"TIMEDATE", 0x8, 0},
    {"TIMEDIFF", 0x8, 0}, {"TIMESTAMP", 0x8, 0}, {"TRANSQUERY", 0x8, 0}, {"UNIQUEKEY", 0x8, 0},
    // function form only, never a statement
    {"INT", 0x10, 0},
    // statement or function, by what follows
    {"CHANGE", 0x11, 0}, {"FIELD", 0x11, 0},
    // object syntax
    {"NEW", 0x10001, 0},
    // object syntax with a parameter list
    {"METHOD", 0x810001, 0},
    // block words
    {"BEGIN", 0x20001, 0}, {"END", 0x20001, 0}, {"FOR", 0x20001, 0}, {"IF", 0x20001, 0},
    {"LOOP", 0x20001, 0}, {"NEXT", 0x20001, 0}, {"REPEAT", 0x20001, 0},
    // THEN and ELSE join the previous line
    {"ELSE", 0x20021, 0}, {"THEN", 0x20021, 0},
    // statements with a rewrite of their own
    {"DEBUG", 0x40001, 0},
    {"ERROR", 0x80001, 0},
    {"TCLREAD", 0x100001, 0},
    // external function declarations
    {"DEFB", 0x210001, 0}, {"DEFFUN", 0x210001, 1}, {"DEFC", 0x210001, 0}, {"DEFCE", 0x210001, 0},
    {"DEFCPP", 0x210001, 0},
    // dimension lists follow
    {"COM", 0x400001, 0}, {"COMMON", 0x400001, 0}, {"DIM", 0x400001, 0},
    {"DIMENSION", 0x400001, 0},
    // call-like words: MAT arguments and called names
    {"CALL", 0x800001, 0}, {"CALLC", 0x800001, 0}, {"CALLJ", 0x800001, 0},
    {"CALLdotNET", 0x800001, 0}, {"FUNCTION", 0x800001, 0}, {"SUB", 0x800001, 0},
    {"SUBROUTINE", 0x800001, 0},
    {"CALLONEXIT", 0x800002, 0},
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
