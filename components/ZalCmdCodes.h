#pragma once
// Editor command codes. Key tables map keys to these codes and the editor executes
// them; 252, 254 and 255 are translation results only and never reach the editor as
// commands.
#include <cstdint>

using TZalCommand = uint16_t;

constexpr TZalCommand ccNone = 0;
constexpr TZalCommand ccBack = 1;
constexpr TZalCommand ccBotOfPage = 2;
constexpr TZalCommand ccBotRightCell = 3;
constexpr TZalCommand ccCompleteDate = 4;
constexpr TZalCommand ccCompleteTime = 5;
constexpr TZalCommand ccCopy = 6;
constexpr TZalCommand ccCtrlChar = 7;
constexpr TZalCommand ccCut = 8;
constexpr TZalCommand ccDec = 9;
constexpr TZalCommand ccDel = 10;
constexpr TZalCommand ccDelBol = 11;
constexpr TZalCommand ccDelEol = 12;
constexpr TZalCommand ccDelLine = 13;
constexpr TZalCommand ccDelWord = 14;
constexpr TZalCommand ccDown = 15;
constexpr TZalCommand ccEnd = 16;
constexpr TZalCommand ccExtendDown = 17;
constexpr TZalCommand ccExtendEnd = 18;
constexpr TZalCommand ccExtendHome = 19;
constexpr TZalCommand ccExtendLeft = 20;
constexpr TZalCommand ccExtendPgDn = 21;
constexpr TZalCommand ccExtendPgUp = 22;
constexpr TZalCommand ccExtendRight = 23;
constexpr TZalCommand ccExtendUp = 24;
constexpr TZalCommand ccExtBotOfPage = 25;
constexpr TZalCommand ccExtFirstPage = 26;
constexpr TZalCommand ccExtLastPage = 27;
constexpr TZalCommand ccExtTopOfPage = 28;
constexpr TZalCommand ccExtWordLeft = 29;
constexpr TZalCommand ccExtWordRight = 30;
constexpr TZalCommand ccFirstPage = 31;
constexpr TZalCommand ccGotoMarker0 = 32;
constexpr TZalCommand ccGotoMarker1 = 33;
constexpr TZalCommand ccGotoMarker2 = 34;
constexpr TZalCommand ccGotoMarker3 = 35;
constexpr TZalCommand ccGotoMarker4 = 36;
constexpr TZalCommand ccGotoMarker5 = 37;
constexpr TZalCommand ccGotoMarker6 = 38;
constexpr TZalCommand ccGotoMarker7 = 39;
constexpr TZalCommand ccGotoMarker8 = 40;
constexpr TZalCommand ccGotoMarker9 = 41;
constexpr TZalCommand ccHome = 42;
constexpr TZalCommand ccInc = 43;
constexpr TZalCommand ccIns = 44;
constexpr TZalCommand ccLastPage = 45;
constexpr TZalCommand ccLeft = 46;
constexpr TZalCommand ccNewLine = 47;
constexpr TZalCommand ccNextPage = 48;
constexpr TZalCommand ccPageLeft = 49;
constexpr TZalCommand ccPageRight = 50;
constexpr TZalCommand ccPaste = 51;
constexpr TZalCommand ccPrevPage = 52;
constexpr TZalCommand ccRedo = 53;
constexpr TZalCommand ccRestore = 54;
constexpr TZalCommand ccRight = 55;
constexpr TZalCommand ccScrollDown = 56;
constexpr TZalCommand ccScrollUp = 57;
constexpr TZalCommand ccSetMarker0 = 58;
constexpr TZalCommand ccSetMarker1 = 59;
constexpr TZalCommand ccSetMarker2 = 60;
constexpr TZalCommand ccSetMarker3 = 61;
constexpr TZalCommand ccSetMarker4 = 62;
constexpr TZalCommand ccSetMarker5 = 63;
constexpr TZalCommand ccSetMarker6 = 64;
constexpr TZalCommand ccSetMarker7 = 65;
constexpr TZalCommand ccSetMarker8 = 66;
constexpr TZalCommand ccSetMarker9 = 67;
constexpr TZalCommand ccTab = 68;
constexpr TZalCommand ccTableEdit = 69;
constexpr TZalCommand ccTopLeftCell = 70;
constexpr TZalCommand ccTopOfPage = 71;
constexpr TZalCommand ccUndo = 72;
constexpr TZalCommand ccUp = 73;
constexpr TZalCommand ccWordLeft = 74;
constexpr TZalCommand ccWordRight = 75;

// An unbound printable key, arriving as a character message.
constexpr TZalCommand ccInsertChar = 249;

// Translation results of the command processor.
constexpr TZalCommand ccUnbound = 252;
constexpr TZalCommand ccDiscard = 254;
constexpr TZalCommand ccPending = 255;

// First user command; codes from here up go to the editor's user-command event.
constexpr TZalCommand ccUserBase = 256;

// The library message table holds the names of codes 0..75 under this base + code.
constexpr int kCommandNameMessageBase = 33768;
