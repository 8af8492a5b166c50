// Inserting text under tight limits: the editor makes the whole insertion or none of it,
// and refuses exactly where the text store, left to itself, would stop part way.
#include <random>

#include "EditorTestUtil.h"

TEST_F(EditorTest, InsertTextIsWholeOrNothingAtEveryLimit) {
    std::mt19937 rng(5);
    auto rand = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* parts[] = {"ab", "  ", "cd e", "\r\n", "\n", "x\r", "\r", "\t"};
    int refused = 0;
    for (int trial = 0; trial < 4000 && !HasFatalFailure(); ++trial) {
        std::vector<std::string> paras;
        for (int i = rand(1, 5); i > 0; --i) paras.push_back(std::string(size_t(rand(0, 12)), 'p') + (rand(0, 1) ? "  q" : ""));
        edit->SetParaLimit(kNoLimit), edit->SetByteLimit(kNoLimit), edit->SetParaLengthLimit(32767);
        Load(*edit, paras);
        edit->SetScrollPastEnd(rand(0, 3) == 0);
        TZalParaList raw(nullptr, false);
        for (const std::string& p : paras) raw.AddLoadedPara(p.data(), int(p.size()), true);
        const int32_t paraLimit = rand(0, 1) ? raw.ParaCount() + rand(-1, 3) : kNoLimit;
        const int32_t byteLimit = rand(0, 1) ? raw.ByteCount() + rand(-2, 30) : kNoLimit;
        const int32_t lengthLimit = rand(0, 1) ? rand(8, 30) : 32767;
        edit->SetParaLimit(paraLimit), raw.SetParaLimit(paraLimit);
        edit->SetByteLimit(byteLimit), raw.SetByteLimit(byteLimit);
        edit->SetParaLengthLimit(lengthLimit), raw.SetParaLengthLimit(lengthLimit);
        const int32_t p1 = rand(1, raw.ParaCount()), p2 = rand(p1, raw.ParaCount());
        const int pos1 = rand(1, raw.ParaLength(p1) + 3), pos2 = rand(1, raw.ParaLength(p2) + 1);
        if (rand(0, 1) && ParaPosBefore({p1, pos1}, {p2, pos2}) && pos1 <= raw.ParaLength(p1) + 1)
            edit->SelectParaRange(p1, pos1, p2, pos2, true);
        else
            edit->MoveCaretToPara(p1, pos1, false);
        std::string text;
        for (int i = rand(0, 10); i > 0; --i) text += parts[rand(0, 7)];
        SCOPED_TRACE(testing::Message() << "trial " << trial << " text " << testing::PrintToString(text));

        // The store alone: the selection deleted, then the block given in one piece.
        const TParaPos start = edit->SelStart(), end = edit->SelEnd();
        int32_t para = edit->CaretPara();
        int pos = edit->CaretPos();
        TEditError expected = ecSuccess;
        if (end.Para > start.Para) expected = raw.DeleteRange(nullptr, start.Para, start.Pos, end.Para, end.Pos);
        else if (end.Pos > start.Pos) raw.DeleteTextAt(nullptr, start.Para, end.Pos - start.Pos, start.Pos);
        if (edit->SelectionExists()) para = start.Para, pos = start.Pos;
        if (!expected) expected = raw.InsertBlock(nullptr, para, text, pos);

        const TParaPos caret{edit->CaretPara(), edit->CaretPos()};
        ASSERT_EQ(edit->InsertText(text), expected);
        if (expected) {
            ++refused;
            paras.emplace_back();
        } else {
            paras.clear();
            for (int32_t p = 1; p <= raw.ParaCount(); ++p) paras.emplace_back(raw.FindPara(p)->GetText(), size_t(raw.ParaLength(p)));
        }
        ASSERT_EQ(edit->ParaCount(), int32_t(paras.size()));
        for (int32_t p = 1; p <= edit->ParaCount(); ++p) ASSERT_EQ(edit->GetPara(p), paras[size_t(p) - 1]) << p;
        if (expected) {
            ASSERT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), caret) << "refused: nothing moves";
            ASSERT_FALSE(edit->Modified());
        } else if (lengthLimit == 32767) { // a short one also limits the caret's visual column
            ASSERT_EQ(TParaPos({edit->CaretPara(), edit->CaretPos()}), TParaPos({para, pos}));
        }
    }
    EXPECT_GT(refused, 400) << "the limits were reached often enough to mean something";
}
