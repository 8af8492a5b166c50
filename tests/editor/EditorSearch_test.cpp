#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EditorTestUtil.h"
#include "editor/StringSearch.h"
#include "platform/Cursors.h"

namespace {

// The search and replace rules applied to plain strings with std::string::find: the
// reference the editor is compared with.
class TSearchModel {
public:
    std::vector<std::string> paras;
    TParaPos caret, selStart, selEnd;
    int limit = 32767; // paragraph length limit
    bool readOnly = false;
    uint16_t error = 0;

    int32_t Replace(std::string s, std::string r, TSearchOptions o) {
        s = s.substr(0, 255);
        r = r.substr(0, 255);
        r = r.substr(0, r.find('\0'));
        if (s.empty()) return 0;
        if (readOnly) o &= TSearchOptions(~(soReplace | soReplaceAll));
        o_ = o;
        pat_ = o & soMatchCase ? s : Fold(s);
        r_ = r;
        count_ = 0;
        found_ = false;
        error = 0;
        if ((o & (soReplace | soReplaceAll)) && SelectionMatches()) {
            const TParaPos at = selStart;
            if (!ReplaceAt(at.Para, at.Pos)) return error;
            caret = selStart = selEnd = {at.Para, at.Pos + int(r.size())};
        }
        const bool backward = o & soBackward;
        const int32_t n = int32_t(paras.size());
        TParaPos start;
        if (o & soSelectedOnly) {
            start = backward ? selEnd : selStart;
            rs_ = selStart;
            re_ = selEnd;
        } else {
            start = !(o & soGlobal) ? caret : backward ? TParaPos{n, Len(n) + 1} : TParaPos{1, 1};
            rs_ = (o & soGlobal) || backward ? TParaPos{1, 1} : start;
            re_ = (o & soGlobal) || !backward ? TParaPos{n + 1, 1} : start;
        }
        const bool caretAtEnd = caret == selEnd;
        backward ? Backward(start) : Forward(start);
        if ((o & soReplaceAll) && count_ > 0) {
            if (o & soSelectedOnly) {
                selStart = rs_;
                selEnd = re_;
                caret = caretAtEnd ? re_ : rs_;
            } else {
                caret.Pos = std::min(caret.Pos, Len(caret.Para) + 1);
                selStart = selEnd = caret;
            }
        }
        if (error) return error;
        return count_ > 0 ? count_ : found_ ? 0 : -1;
    }

private:
    static std::string Fold(std::string s) {
        for (char& c : s) c = char(UpperCaseTable()[uint8_t(c)]);
        return s;
    }
    std::string Text(int32_t para) const { return o_ & soMatchCase ? paras[size_t(para - 1)] : Fold(paras[size_t(para - 1)]); }
    int Len(int32_t para) const { return int(paras[size_t(para - 1)].size()); }
    int L() const { return int(pat_.size()); }
    bool SelectionMatches() const {
        return selStart.Para == selEnd.Para && selEnd.Pos - selStart.Pos == L() &&
               Text(selStart.Para).substr(size_t(selStart.Pos - 1), size_t(L())) == pat_;
    }
    static bool Delimiter(char c) { return kDefaultWordDelimiters.find(c) != std::string_view::npos; }
    bool Accepted(int32_t c, int q) const {
        const int last = q + L() - 1;
        bool in;
        if (c > rs_.Para && c < re_.Para)
            in = true;
        else if (rs_.Para == re_.Para)
            in = c == rs_.Para && q >= rs_.Pos && last < re_.Pos;
        else if (c == rs_.Para)
            in = q >= rs_.Pos;
        else
            in = c == re_.Para && last < re_.Pos;
        const std::string& raw = paras[size_t(c - 1)];
        if (in && (o_ & soWholeWords))
            in = (q == 1 || Delimiter(raw[size_t(q - 2)])) && (last >= int(raw.size()) || Delimiter(raw[size_t(last)]));
        return in;
    }
    bool ReplaceAt(int32_t c, int q) {
        std::string& raw = paras[size_t(c - 1)];
        const int grow = int(r_.size()) - L();
        if (grow > 0 && int(raw.size()) + grow > limit) {
            error = 268;
            return false;
        }
        raw.replace(size_t(q - 1), size_t(L()), r_);
        ++count_;
        for (TParaPos* p : {&rs_, &re_})
            if (p->Para == c && p->Pos >= q + L()) p->Pos += grow;
        return true;
    }
    void Select(int32_t c, int q, bool caretAtEnd) {
        found_ = true;
        selStart = {c, q};
        selEnd = {c, q + L()};
        caret = caretAtEnd ? selEnd : selStart;
    }
    void Forward(TParaPos start) {
        int32_t c = start.Para;
        int p = start.Pos;
        while (c <= int32_t(paras.size()) && c <= re_.Para && !error) {
            const std::string t = Text(c);
            const size_t at = int(t.size()) - p + 1 >= L() ? t.find(pat_, size_t(p - 1)) : std::string::npos;
            if (at == std::string::npos) {
                ++c;
                p = 1;
                continue;
            }
            const int q = int(at) + 1;
            if (!Accepted(c, q)) {
                p = q + 1;
            } else if (!(o_ & soReplaceAll)) {
                return Select(c, q, true);
            } else {
                if (!ReplaceAt(c, q)) return;
                p = q + int(r_.size());
            }
        }
    }
    void Backward(TParaPos start) {
        int32_t c = start.Para;
        int p = start.Pos - 1;
        while (c >= 1 && c >= rs_.Para && !error) {
            const std::string t = Text(c);
            size_t at = std::string::npos;
            if (int(t.size()) >= L() && p >= L()) at = t.substr(0, size_t(std::min(p, int(t.size())))).rfind(pat_);
            if (at == std::string::npos) {
                if (--c >= 1) p = Len(c);
                continue;
            }
            const int q = int(at) + 1;
            if (!Accepted(c, q)) {
                p = q + L() - 2;
            } else if (!(o_ & soReplaceAll)) {
                return Select(c, q, false);
            } else {
                if (!ReplaceAt(c, q)) return;
                p = q - 1;
            }
        }
    }

    TSearchOptions o_ = 0;
    std::string pat_, r_;
    TParaPos rs_, re_;
    int32_t count_ = 0;
    bool found_ = false;
};

std::vector<std::string> Paras(TZalCustomEditor& e) {
    std::vector<std::string> out;
    for (int32_t p = 1; p <= e.ParaCount(); ++p) out.push_back(e.GetPara(p));
    return out;
}

} // namespace

// Search and Replace with random options, patterns and texts against the model: the
// text, the result, the error, the caret and the selection after every call.
TEST_F(EditorTest, SearchAndReplaceAgreeWithThePlainModel) {
    std::mt19937 rng(2024);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    // Words in both cases (1252 letters above 127 too), a word character, delimiters.
    const std::vector<std::string> tokens = {"ab", "AB", "Ab", "ba", "a", "\xE9", "\xC9", "\xFF\x9F", "_",
                                             " ", " ", ".", "-", "\t", "aba", "BAB"};
    const std::vector<std::string> replacements = {"", "x", "ab", "AB", "abab", "zz zz", "\xE9\xE9", "ab.ab"};
    uint16_t reported = 0;
    edit->OnError = [&](TComponent*, uint16_t& code) { reported = code; };
    for (int round = 0; round < 2500; ++round) {
        TSearchModel model;
        // A short paragraph length limit makes replacements fail; the caret cannot pass
        // it, so the text holds no tab then (a tab's cells would count against it).
        model.limit = pick(3) == 0 ? 40 : 32767;
        model.readOnly = pick(8) == 0;
        edit->SetParaLengthLimit(model.limit);
        edit->SetReadOnly(model.readOnly);
        std::vector<std::string> text(size_t(1 + pick(6)));
        for (std::string& p : text)
            for (int k = pick(pick(4) ? 12 : 40); k > 0; --k) p += tokens[size_t(pick(int(tokens.size())))];
        if (model.limit < 32767)
            for (std::string& p : text) std::replace(p.begin(), p.end(), '\t', ' ');
        Load(*edit, text);
        const bool wrapped = pick(4) == 0;
        edit->SetWordWrap(wrapped);
        edit->SetWrapColumn(12);
        model.paras = Paras(*edit);
        for (int op = 0; op < 6; ++op) {
            const int32_t paras = edit->ParaCount();
            if (pick(2)) {
                const int32_t p1 = 1 + pick(paras), p2 = 1 + pick(paras);
                edit->SelectParaRange(p1, 1 + pick(int(model.paras[size_t(p1 - 1)].size()) + 1), p2,
                                      1 + pick(int(model.paras[size_t(p2 - 1)].size()) + 1), pick(2));
            }
            model.caret = {edit->CaretPara(), edit->CaretPos()};
            model.selStart = edit->SelStart();
            model.selEnd = edit->SelEnd();

            std::string s;
            const std::string& source = model.paras[size_t(pick(paras))];
            if (!source.empty() && pick(3)) {
                s = source.substr(size_t(pick(int(source.size()))), size_t(1 + pick(4)));
                if (pick(2)) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(UpperCaseTable()[uint8_t(c)]); });
            } else {
                for (int k = pick(3); k >= 0; --k) s += tokens[size_t(pick(int(tokens.size())))];
            }
            const std::string r = replacements[size_t(pick(int(replacements.size())))];
            auto options = TSearchOptions(pick(256));
            if (pick(4)) options &= TSearchOptions(~soSelectedOnly);
            if (pick(2)) options |= soGlobal;
            const bool viaSearch = !(options & (soReplace | soReplaceAll)) && pick(2);
            SCOPED_TRACE("round " + std::to_string(round) + " op " + std::to_string(op) + " S '" + s + "' R '" + r +
                         "' options " + std::to_string(options));

            reported = 0;
            const int32_t expected = model.Replace(s, r, options);
            if (viaSearch)
                ASSERT_EQ(edit->Search(s, options), expected == 0);
            else
                ASSERT_EQ(edit->Replace(s, r, options), expected);
            ASSERT_EQ(reported, model.error);
            ASSERT_EQ(Paras(*edit), model.paras);
            ASSERT_EQ(edit->SelStart(), model.selStart);
            ASSERT_EQ(edit->SelEnd(), model.selEnd);
            ASSERT_EQ(edit->CaretPara(), model.caret.Para);
            ASSERT_EQ(edit->CaretPos(), model.caret.Pos);
            int col = 0;
            ASSERT_EQ(edit->CaretLine(), edit->ParaList().ParaPosToLine(model.caret.Para, model.caret.Pos, col));
        }
    }
}

TEST_F(EditorTest, SearchFindsFromTheCaretOrTheWholeTextInEitherDirection) {
    Load(*edit, {"the cat sat", "on the mat", "The THE tHe", "theme the.", "end"});
    const std::vector<std::string> before = Paras(*edit);
    auto selected = [&] { return std::vector<int32_t>{edit->SelStart().Para, edit->SelStart().Pos, edit->SelEnd().Pos, edit->CaretPos()}; };

    edit->MoveCaretToPara(2, 2, false);
    ASSERT_TRUE(edit->Search("the", soMatchCase));
    EXPECT_EQ(selected(), (std::vector<int32_t>{2, 4, 7, 7})) << "from the caret, the caret at the end";
    ASSERT_TRUE(edit->Search("the", soMatchCase));
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 1, 4, 4})) << "capitals skipped";
    ASSERT_TRUE(edit->Search("the", soMatchCase | soWholeWords));
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 7, 10, 10})) << "'theme' is no whole word, 'the.' is";
    EXPECT_FALSE(edit->Search("the", soMatchCase)) << "never wraps to the start";
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 7, 10, 10})) << "nothing found, nothing moves";
    ASSERT_TRUE(edit->Search("the", soMatchCase | soGlobal));
    EXPECT_EQ(selected(), (std::vector<int32_t>{1, 1, 4, 4}));

    edit->MoveCaretToPara(3, 7, false);
    ASSERT_TRUE(edit->Search("the", soBackward));
    EXPECT_EQ(selected(), (std::vector<int32_t>{3, 1, 4, 1})) << "'THE' at 5 ends after the caret; the caret at the start";
    ASSERT_TRUE(edit->Search("tHE", soBackward | soGlobal | soWholeWords));
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 7, 10, 7}));
    ASSERT_TRUE(edit->Search("end", soBackward | soGlobal | soWholeWords)) << "a whole paragraph is a whole word";

    EXPECT_FALSE(edit->Search("mat The", soGlobal)) << "no match spans a paragraph break";
    EXPECT_FALSE(edit->Search("mat\r\nThe", soGlobal));
    edit->MoveCaretToPara(1, 1, false);
    EXPECT_TRUE(edit->Search("", soGlobal));
    EXPECT_EQ(edit->CaretPos(), 1);
    EXPECT_EQ(edit->Replace("", "x", soReplaceAll | soGlobal), 0);
    EXPECT_EQ(edit->Replace("the", std::string_view(), soReplaceAll | soGlobal), 0) << "no replacement given";
    EXPECT_EQ(Paras(*edit), before);
    EXPECT_FALSE(edit->Modified());

    // A long search text is cut to 255 characters; the hourglass shows while the match
    // is selected (the view scrolls to it) and is gone afterwards.
    std::vector<std::string> paras(100, "x");
    paras.push_back(std::string(255, 'a') + "b");
    Load(*edit, paras);
    const int depth = ScreenCursorDepth();
    int busy = depth;
    edit->OnTopLineChanged = [&](TComponent*, int32_t) { busy = ScreenCursorDepth(); };
    ASSERT_TRUE(edit->Search(std::string(300, 'a'), soGlobal));
    EXPECT_EQ(edit->SelStart(), (TParaPos{101, 1}));
    EXPECT_EQ(edit->SelEnd(), (TParaPos{101, 256}));
    EXPECT_EQ(busy, depth + 1);
    EXPECT_EQ(ScreenCursorDepth(), depth);
}

TEST_F(EditorTest, ReplaceTheSelectedMatchThenSelectTheNext) {
    Load(*edit, {"one two one", "One"});
    edit->SelectParaRange(1, 1, 1, 4, true);
    EXPECT_TRUE(edit->SelectionMatches("ONE", false));
    EXPECT_FALSE(edit->SelectionMatches("ONE", true));
    EXPECT_FALSE(edit->SelectionMatches("on", false));
    EXPECT_EQ(edit->Replace("one", "1", soReplace | soMatchCase), 1);
    EXPECT_EQ(edit->GetPara(1), "1 two one");
    EXPECT_EQ(edit->SelStart(), (TParaPos{1, 7}));
    EXPECT_EQ(edit->SelEnd(), (TParaPos{1, 10}));
    EXPECT_EQ(edit->Replace("one", "1", soReplace | soMatchCase), 1) << "no further match: still 1";
    EXPECT_EQ(edit->GetPara(1), "1 two 1");
    EXPECT_FALSE(edit->SelectionExists());
    EXPECT_EQ(edit->Replace("one", "1", soReplace | soMatchCase), -1);
    EXPECT_EQ(edit->Replace("one", "1", soReplace), 0) << "found and selected, nothing replaced";
    EXPECT_EQ(edit->SelStart(), (TParaPos{2, 1}));

    // The selection's replacement is one undo step.
    int32_t para = 0;
    int pos = 0;
    edit->ParaList().UndoGroup(edit, para, pos);
    EXPECT_EQ(edit->GetPara(1), "1 two one");
}

// The replacement contains the pattern: the search goes on after it, and every
// replacement is one undo step. Another view's caret moves with the text.
TEST_F(EditorTest, ReplaceAllContinuesAfterEachReplacement) {
    Load(*edit, {"aa a", "xa"});
    auto* other = NewEditor<TZalCustomEditor>(0, 300, 400, 200);
    other->Attach(edit);
    other->MoveCaretToPara(1, 5, false);
    edit->MoveCaretToPara(2, 3, false);
    EXPECT_EQ(edit->Replace("a", "bab", soReplaceAll | soGlobal), 4);
    EXPECT_EQ(Paras(*edit), (std::vector<std::string>{"babbab bab", "xbab", ""}));
    EXPECT_FALSE(edit->SelectionExists());
    EXPECT_EQ(edit->CaretPos(), 3) << "the selection collapses at the caret";
    EXPECT_EQ(other->CaretPos(), 11);
    int32_t para = 0;
    int pos = 0;
    edit->ParaList().UndoGroup(edit, para, pos);
    EXPECT_EQ(edit->GetPara(2), "xa");
    EXPECT_EQ(edit->GetPara(1), "babbab bab");
}

TEST_F(EditorTest, ReplaceAllInsideTheSelectionSelectsTheAdjustedRange) {
    Load(*edit, {"ab ab ab ab", "ab ab"});
    for (const bool caretAtEnd : {true, false}) {
        Load(*edit, {"ab ab ab ab", "ab ab"});
        // From the second "ab" to the end of the first of paragraph 2: the range ends
        // right after a match, so its end moves too.
        edit->SelectParaRange(1, 4, 2, 3, caretAtEnd);
        EXPECT_EQ(edit->Replace("ab", "xyz", soReplaceAll | soSelectedOnly), 4);
        EXPECT_EQ(Paras(*edit), (std::vector<std::string>{"ab xyz xyz xyz", "xyz ab", ""}));
        EXPECT_EQ(edit->SelStart(), (TParaPos{1, 4}));
        EXPECT_EQ(edit->SelEnd(), (TParaPos{2, 4}));
        EXPECT_EQ(edit->CaretPara(), caretAtEnd ? 2 : 1);
        EXPECT_EQ(edit->CaretPos(), 4);
    }
    // One paragraph, backward, a replacement shorter than the match.
    Load(*edit, {"ab ab ab ab"});
    edit->SelectParaRange(1, 3, 1, 9, true);
    EXPECT_EQ(edit->Replace("ab", "", soReplaceAll | soSelectedOnly | soBackward), 2);
    EXPECT_EQ(edit->GetPara(1), "ab   ab");
    EXPECT_EQ(edit->SelStart(), (TParaPos{1, 3}));
    EXPECT_EQ(edit->SelEnd(), (TParaPos{1, 5}));
}

// A refused replacement stops the replace-all there; the earlier ones stay.
TEST_F(EditorTest, ReplaceAllStopsAtTheFirstReplacementPastALimit) {
    edit->SetParaLengthLimit(10);
    Load(*edit, {"a a a", "a"});
    std::vector<uint16_t> errors;
    edit->OnError = [&](TComponent*, uint16_t& code) { errors.push_back(code); };
    EXPECT_EQ(edit->Replace("a", "xyz", soReplaceAll | soGlobal), 268);
    EXPECT_EQ(errors, std::vector<uint16_t>{268});
    EXPECT_EQ(Paras(*edit), (std::vector<std::string>{"xyz xyz a", "a", ""}));

    edit->OnError = nullptr;
    const int depth = ScreenCursorDepth();
    EXPECT_THROW(edit->Replace("a", "xyz", soReplaceAll | soGlobal), EEditorError);
    EXPECT_EQ(ScreenCursorDepth(), depth) << "the hourglass is gone";
    edit->SelectParaRange(1, 1, 1, 4, true);
    EXPECT_THROW(edit->Replace("xyz", "xyzxyz", soReplace), EEditorError) << "the selection's replacement too";
    EXPECT_EQ(edit->GetPara(1), "xyz xyz a");
}

// What a search finds a replacement replaces, letters above 127 included; a read-only
// text is only searched; a backward whole-word search sees an occurrence that overlaps
// a refused one.
TEST_F(EditorTest, ReplaceKeepsToWhatTheSearchFinds) {
    Load(*edit, {"caf\xC9 caf\xE9"});
    ASSERT_TRUE(edit->Search("CAF\xE9", soGlobal));
    EXPECT_TRUE(edit->SelectionMatches("caf\xE9", false));
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplace), 1);
    EXPECT_EQ(edit->GetPara(1), "tea caf\xE9");

    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->SelectionMatches("caf\xE9", true));
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplace), -1) << "the selected match stays, no other follows";
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplaceAll | soGlobal), 0) << "found and selected";
    EXPECT_EQ(edit->GetPara(1), "tea caf\xE9");
    EXPECT_EQ(edit->SelStart(), (TParaPos{1, 5}));
    EXPECT_FALSE(edit->Modified() && edit->CanUndo());
    edit->SetReadOnly(false);

    Load(*edit, {"a a ab"});
    ASSERT_TRUE(edit->Search("a a", soBackward | soGlobal | soWholeWords));
    EXPECT_EQ(edit->SelStart(), (TParaPos{1, 1})) << "'a a' at 3 touches 'b'; the one at 1 is whole";
}
