// The names a program declares, which tell the statement pass a function
// call from an array element.
#pragma once

#include <string>
#include <string_view>

#include "tokens/word_table.h"
#include "tokens/words.h"

namespace bprep2 {

class DeclaredNames {
   public:
    // DEFB, DEFFUN, DEFC, DEFCE and DEFCPP names, kept as written.
    NameSet functions;
    // DIM, DIMENSION, COM and COMMON names and MAT parameters, kept
    // upper-cased unless case matters.
    NameSet arrays;

    void declareArray(std::string_view name, bool caseSensitive) {
        arrays.add(lookupSpelling(name, caseSensitive, spelling_));
    }
    // Whether `name` is a dimensioned array; the name is kept as every
    // lookup of a name set keeps it.
    bool isArray(std::string_view name, bool caseSensitive) {
        return arrays.lookUp(lookupSpelling(name, caseSensitive, spelling_));
    }
    // The same, keeping nothing.
    bool hasArray(std::string_view name, bool caseSensitive) {
        return arrays.hasMember(lookupSpelling(name, caseSensitive, spelling_));
    }

   private:
    std::string spelling_;  // reused, so that a lookup allocates nothing
};

}  // namespace bprep2
