#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EditorTestUtil.h"
#include "editor/StringSearch.h"
#include "platform/Cursors.h"

namespace {

// The rules of search and replace applied to plain strings with std::string::find.
class TSearchModel {
public:
    std::vector<std::string> paras;
    TParaPos caret, selStart, selEnd;
    int limit = 32767; // paragraph length limit
    bool readOnly = false;
    uint16_t error = 0;

    int32_t Replace(std::string s, std::string r, TSearchOptions o) {
        s = s.substr(0, 255);
        r = r.substr(0, std::min<size_t>(r.find('\0'), 255));
        error = 0, count_ = 0, found_ = false;
        if (s.empty()) return 0;
        if (readOnly) o &= TSearchOptions(~(soReplace | soReplaceAll));
        o_ = o, r_ = r, pat_ = Fold(s);
        if ((o & (soReplace | soReplaceAll)) && selStart.Para == selEnd.Para && selEnd.Pos - selStart.Pos == L() &&
            Text(selStart.Para).substr(size_t(selStart.Pos - 1), size_t(L())) == pat_) {
            const TParaPos at = selStart;
            if (!ReplaceAt(at.Para, at.Pos)) return error;
            caret = selStart = selEnd = {at.Para, at.Pos + int(r.size())};
        }
        const bool back = o & soBackward, global = o & soGlobal;
        const int32_t n = int32_t(paras.size());
        TParaPos start = !global ? caret : back ? TParaPos{n, Len(n) + 1} : TParaPos{1, 1};
        rs_ = global || back ? TParaPos{1, 1} : start;
        re_ = global || !back ? TParaPos{n + 1, 1} : start;
        if (o & soSelectedOnly) start = back ? selEnd : selStart, rs_ = selStart, re_ = selEnd;
        const bool caretAtEnd = caret == selEnd;
        back ? Backward(start) : Forward(start);
        if ((o & soReplaceAll) && count_ > 0 && (o & soSelectedOnly)) {
            selStart = rs_, selEnd = re_, caret = caretAtEnd ? re_ : rs_;
        } else if ((o & soReplaceAll) && count_ > 0) {
            caret.Pos = std::min(caret.Pos, Len(caret.Para) + 1);
            selStart = selEnd = caret;
        }
        return error ? error : count_ > 0 ? count_ : found_ ? 0 : -1;
    }

private:
    std::string Fold(std::string s) const {
        if (!(o_ & soMatchCase)) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(UpperCaseTable()[uint8_t(c)]); });
        return s;
    }
    std::string Text(int32_t para) const { return Fold(paras[size_t(para - 1)]); }
    int Len(int32_t para) const { return int(paras[size_t(para - 1)].size()); }
    int L() const { return int(pat_.size()); }
    static bool Delimiter(char c) { return kDefaultWordDelimiters.find(c) != std::string_view::npos; }
    bool Accepted(int32_t c, int q) const {
        const int last = q + L() - 1;
        const bool in = (c > rs_.Para && c < re_.Para) ||
                        (rs_.Para == re_.Para ? c == rs_.Para && q >= rs_.Pos && last < re_.Pos
                                              : (c == rs_.Para && q >= rs_.Pos) || (c == re_.Para && last < re_.Pos));
        const std::string& raw = paras[size_t(c - 1)];
        return in && (!(o_ & soWholeWords) || ((q == 1 || Delimiter(raw[size_t(q - 2)])) &&
                                               (last >= int(raw.size()) || Delimiter(raw[size_t(last)]))));
    }
    bool ReplaceAt(int32_t c, int q) {
        const int grow = int(r_.size()) - L();
        if (grow > 0 && Len(c) + grow > limit) return error = 268, false;
        paras[size_t(c - 1)].replace(size_t(q - 1), size_t(L()), r_);
        ++count_;
        for (TParaPos* p : {&rs_, &re_})
            if (p->Para == c && p->Pos >= q + L()) p->Pos += grow;
        return true;
    }
    void Select(int32_t c, int q, bool caretAtEnd) {
        found_ = true, selStart = {c, q}, selEnd = {c, q + L()};
        caret = caretAtEnd ? selEnd : selStart;
    }
    void Forward(TParaPos at) {
        for (int32_t c = at.Para, p = at.Pos; c <= int32_t(paras.size()) && c <= re_.Para && !error;) {
            const size_t k = Len(c) - p + 1 >= L() ? Text(c).find(pat_, size_t(p - 1)) : std::string::npos;
            const int q = int(k) + 1;
            if (k == std::string::npos) ++c, p = 1;
            else if (!Accepted(c, q)) p = q + 1;
            else if (!(o_ & soReplaceAll)) return Select(c, q, true);
            else if (ReplaceAt(c, q)) p = q + int(r_.size());
        }
    }
    void Backward(TParaPos at) {
        for (int32_t c = at.Para, p = at.Pos - 1; c >= 1 && c >= rs_.Para && !error;) {
            const size_t k = Len(c) >= L() && p >= L() ? Text(c).substr(0, size_t(std::min(p, Len(c)))).rfind(pat_) : std::string::npos;
            const int q = int(k) + 1;
            if (k == std::string::npos) p = --c >= 1 ? Len(c) : 0;
            else if (!Accepted(c, q)) p = q + L() - 2; // the last one that starts before it
            else if (!(o_ & soReplaceAll)) return Select(c, q, false);
            else if (ReplaceAt(c, q)) p = q - 1;
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

// Search and Replace with random options, patterns, selections and texts (word wrap,
// a short length limit, read-only) against the model: result, error, text, caret and
// selection after every call.
TEST_F(EditorTest, SearchAndReplaceAgreeWithThePlainModel) {
    std::mt19937 rng(2024);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    // Words in both cases (1252 letters above 127 too), a word character, delimiters.
    const std::vector<std::string> tokens = {"ab", "AB", "Ab", "ba", "a", "\xE9", "\xC9", "\xFF\x9F", "_", " ", " ", ".", "-", "\t", "aba", "BAB"};
    const std::vector<std::string> replacements = {"", "x", "ab", "AB", "abab", "zz zz", "\xE9\xE9", "ab.ab"};
    uint16_t reported = 0;
    edit->OnError = [&](TComponent*, uint16_t& code) { reported = code; };
    for (int round = 0; round < 2500; ++round) {
        TSearchModel model;
        model.limit = pick(3) == 0 ? 40 : 32767; // no tab then: its cells would count against the caret
        model.readOnly = pick(8) == 0;
        edit->SetParaLengthLimit(model.limit);
        edit->SetReadOnly(model.readOnly);
        std::vector<std::string> text(size_t(1 + pick(6)));
        for (std::string& p : text) {
            for (int k = pick(pick(4) ? 12 : 40); k > 0; --k) p += tokens[size_t(pick(int(tokens.size())))];
            if (model.limit < 32767) std::replace(p.begin(), p.end(), '\t', ' ');
        }
        Load(*edit, text);
        edit->SetWordWrap(pick(4) == 0);
        edit->SetWrapColumn(12);
        model.paras = Paras(*edit);
        for (int op = 0; op < 6; ++op) {
            // The pattern: a piece of the text (also selected, so that it is replaced
            // first), maybe in capitals, or a few tokens.
            const int32_t para = 1 + pick(edit->ParaCount());
            const std::string& source = model.paras[size_t(para - 1)];
            std::string s;
            if (!source.empty() && pick(3)) {
                const int at = pick(int(source.size()));
                s = source.substr(size_t(at), size_t(1 + pick(4)));
                if (pick(3) == 0) edit->SelectParaRange(para, at + 1, para, at + 1 + int(s.size()), true);
                if (pick(2)) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(UpperCaseTable()[uint8_t(c)]); });
            } else {
                for (int k = pick(3); k >= 0; --k) s += tokens[size_t(pick(int(tokens.size())))];
            }
            if (pick(2)) {
                const int32_t p1 = 1 + pick(edit->ParaCount()), p2 = 1 + pick(edit->ParaCount());
                edit->SelectParaRange(p1, 1 + pick(int(model.paras[size_t(p1 - 1)].size()) + 1), p2,
                                      1 + pick(int(model.paras[size_t(p2 - 1)].size()) + 1), pick(2));
            }
            model.caret = {edit->CaretPara(), edit->CaretPos()};
            model.selStart = edit->SelStart();
            model.selEnd = edit->SelEnd();
            const std::string r = replacements[size_t(pick(int(replacements.size())))];
            auto options = TSearchOptions(pick(256));
            if (pick(4)) options &= TSearchOptions(~soSelectedOnly);
            if (pick(2)) options |= soGlobal;
            SCOPED_TRACE("round " + std::to_string(round) + " op " + std::to_string(op) + " S '" + s + "' R '" + r + "' options " + std::to_string(options));

            reported = 0;
            const int32_t expected = model.Replace(s, r, options);
            if (!(options & (soReplace | soReplaceAll)) && pick(2))
                ASSERT_EQ(edit->Search(s, options), expected == 0);
            else
                ASSERT_EQ(edit->Replace(s, r, options), expected);
            ASSERT_EQ(reported, model.error);
            ASSERT_EQ(Paras(*edit), model.paras);
            ASSERT_EQ(edit->SelStart(), model.selStart);
            ASSERT_EQ(edit->SelEnd(), model.selEnd);
            ASSERT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), model.caret);
            int col = 0;
            ASSERT_EQ(edit->CaretLine(), edit->ParaList().ParaPosToLine(model.caret.Para, model.caret.Pos, col));
        }
    }
}

TEST_F(EditorTest, SearchAndReplaceWorkedExamples) {
    Load(*edit, {"the cat sat", "on the mat", "The THE tHe", "theme the."});
    auto selected = [&] { return std::vector<int32_t>{edit->SelStart().Para, edit->SelStart().Pos, edit->SelEnd().Pos, edit->CaretPos()}; };
    edit->MoveCaretToPara(2, 2, false);
    ASSERT_TRUE(edit->Search("the", soMatchCase));
    EXPECT_EQ(selected(), (std::vector<int32_t>{2, 4, 7, 7})) << "from the caret, the caret at the end";
    ASSERT_TRUE(edit->Search("the", soMatchCase | soWholeWords));
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 7, 10, 10})) << "not 'The' nor 'theme'";
    EXPECT_FALSE(edit->Search("the", soMatchCase)) << "never wraps to the start";
    EXPECT_EQ(selected(), (std::vector<int32_t>{4, 7, 10, 10}));
    edit->MoveCaretToPara(3, 7, false);
    ASSERT_TRUE(edit->Search("the", soBackward));
    EXPECT_EQ(selected(), (std::vector<int32_t>{3, 1, 4, 1})) << "'THE' ends after the caret";
    EXPECT_FALSE(edit->Search("mat The", soGlobal)) << "no match spans a paragraph break";
    EXPECT_TRUE(edit->Search("", soGlobal));
    EXPECT_EQ(edit->Replace("", "x", soReplaceAll | soGlobal), 0);
    EXPECT_EQ(edit->Replace("the", std::string_view(), soReplaceAll | soGlobal), 0) << "no replacement given";
    EXPECT_FALSE(edit->Modified());

    // The selection holds the text: replaced, the next match selected, 1 even when none follows.
    edit->SelectParaRange(1, 5, 1, 8, true);
    EXPECT_EQ(edit->Replace("CAT", "dog", soReplace), 1);
    EXPECT_EQ(edit->GetPara(1), "the dog sat");
    EXPECT_EQ(edit->Replace("sat", "is", soReplace), 0);
    EXPECT_EQ(edit->Replace("sat", "is", soReplace), 1);
    EXPECT_EQ(edit->GetPara(1), "the dog is");
    // A replacement holding the pattern: the search goes on after it; one undo step each.
    EXPECT_EQ(edit->Replace("t", "tt", soReplaceAll | soGlobal | soMatchCase), 6);
    EXPECT_EQ(edit->GetPara(4), "ttheme tthe.");
    int32_t para = 0;
    int pos = 0;
    edit->ParaList().UndoGroup(edit, para, pos);
    EXPECT_EQ(edit->GetPara(4), "ttheme the.");
}

// The range's end moves with each replacement and is selected again, the caret at the
// end it stood at; another view's caret moves with the text.
TEST_F(EditorTest, ReplaceAllInsideTheSelectionSelectsTheAdjustedRange) {
    for (const bool caretAtEnd : {true, false}) {
        Load(*edit, {"ab ab ab ab", "ab ab"});
        auto* other = NewEditor<TZalCustomEditor>(0, 300, 400, 200);
        other->Attach(edit);
        other->MoveCaretToPara(2, 5, false);
        edit->SelectParaRange(1, 4, 2, 3, caretAtEnd);
        EXPECT_EQ(edit->Replace("ab", "xyz", soReplaceAll | soSelectedOnly), 4);
        EXPECT_EQ(Paras(*edit), (std::vector<std::string>{"ab xyz xyz xyz", "xyz ab", ""}));
        EXPECT_EQ(edit->SelStart(), (TParaPos{1, 4}));
        EXPECT_EQ(edit->SelEnd(), (TParaPos{2, 4}));
        EXPECT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), caretAtEnd ? edit->SelEnd() : edit->SelStart());
        EXPECT_EQ(other->CaretPos(), 6);
    }
}

// A refused replacement stops a replace-all at that match; the earlier ones stay; the
// hourglass shows while searching and is gone also when the error is raised.
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
    int busy = depth;
    edit->OnTopLineChanged = [&](TComponent*, int32_t) { busy = ScreenCursorDepth(); };
    Load(*edit, std::vector<std::string>(100, "a a a"));
    ASSERT_TRUE(edit->Search("a", soGlobal | soBackward)); // the view scrolls to the match
    EXPECT_EQ(busy, depth + 1);
    EXPECT_THROW(edit->Replace("a", "xyz", soReplaceAll | soGlobal), EEditorError);
    EXPECT_EQ(edit->GetPara(1), "xyz xyz a");
    EXPECT_EQ(ScreenCursorDepth(), depth);
}

// What a search finds a replacement replaces, letters above 127 included; a read-only
// text is only searched; a backward whole-word search sees an occurrence that overlaps
// a refused one.
TEST_F(EditorTest, ReplaceKeepsToWhatTheSearchFinds) {
    Load(*edit, {"caf\xC9 caf\xE9"});
    ASSERT_TRUE(edit->Search("CAF\xE9", soGlobal));
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplace), 1);
    EXPECT_EQ(edit->GetPara(1), "tea caf\xE9");
    edit->SetReadOnly(true);
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplace), -1) << "the selected match stays";
    EXPECT_EQ(edit->Replace("caf\xE9", "tea", soReplaceAll | soGlobal), 0) << "found and selected";
    EXPECT_EQ(edit->GetPara(1), "tea caf\xE9");
    Load(*edit, {"a a ab"});
    ASSERT_TRUE(edit->Search("a a", soBackward | soGlobal | soWholeWords));
    EXPECT_EQ(edit->SelStart(), (TParaPos{1, 1})) << "'a a' at 3 touches 'b'; the one at 1 is whole";
    Load(*edit, {std::string(255, 'a') + "b"});
    ASSERT_TRUE(edit->Search(std::string(300, 'a'), soGlobal)) << "cut to 255 characters";
    EXPECT_EQ(edit->SelEnd(), (TParaPos{1, 256}));
}
