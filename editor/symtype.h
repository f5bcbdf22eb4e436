#pragma once

#include <QtGlobal>

// Kinds of symbol shared by the stream, the editor marking, AddSym and CatchChar.
enum SymType : quint32 {
    SYM_PLAIN = 0,   // ordinary character
    SYM_CONTROL = 1, // control letter + parameter, when inserting into the editor
    SYM_PAGE_80 = 2, // device symbol 0x80–0x8F
    SYM_PAGE_90 = 3, // device symbol 0x90–0x9F
    SYM_PAGE_A0 = 4, // device symbol 0xA0–0xAF (not 0xA8)
    SYM_PAGE_B0 = 5, // device symbol 0xB0–0xBF (not 0xB8, 0xB9)
    SYM_FONT = 6,    // "f", code 0x00
    SYM_I = 7,       // "i", code 0x01
    SYM_V = 8,       // "v", code 0x03
    SYM_EFFECT = 9,  // "e", code 0x02
    SYM_STOP = 10,   // "s", code 0x03 with the duration in the high four bits
};
