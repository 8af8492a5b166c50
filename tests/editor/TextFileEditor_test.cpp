// The text file editor: loading and saving through the editor, its file name and open
// state, the failed-load rules, attaching, and the hourglass after failures. The bytes
// of loading and saving are the engine's tests'.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

#include "EditorTestUtil.h"
#include "TextFileTestUtil.h"
#include "components/ZalSrMgr.h"
#include "editor/TextFileEditor.h"
#include "platform/Cursors.h"

namespace {

class TextFileEditorTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        file = NewEditor<TZalTextFileEditor>(0, 0, 300, 200);
    }
    std::vector<std::string> Text() { return Paras(file->ParaList()); }
    // The message of the E that `f` must raise; the hourglass must be off again.
    template <class E> std::string Failure(const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE() << "no error";
        } catch (const E& e) {
            EXPECT_EQ(ScreenCursorDepth(), 0);
            return e.Message();
        }
        return {};
    }
    TScratchDir dir;
    TZalTextFileEditor* file = nullptr;
};

} // namespace

TEST_F(TextFileEditorTest, SavingWritesTheLinesBackInTheFilesOwnStyle) {
    struct Case {
        std::string in, out;
        bool reported; // saving changes more than a missing final line end
    };
    const Case cases[] = {{"a\r\nb\r\n", "a\r\nb\r\n", false}, {"a\rb", "a\rb\r", false},
                          {"a\r\nb\nc", "a\r\nb\r\nc\r\n", true}, {"x  \n\ty\n", "x\n\ty\n", true}};
    file->SetMakeBackup(true);
    file->SetBackupExt("OLDER");
    for (const auto& [in, out, reported] : cases) {
        WriteBytes(dir / "f.txt", in);
        file->LoadFromFile(dir / "f.txt."); // the final dot goes: saved to f.txt below
        EXPECT_TRUE(file->IsOpen() && !file->Modified());
        EXPECT_EQ(file->LoadReport().Changed(), reported) << in;
        file->SetModified(true);
        file->SaveToFile(file->FileName());
        EXPECT_FALSE(file->Modified());
        EXPECT_EQ(ReadBytes(dir / "f.txt"), out);
        EXPECT_EQ(ReadBytes(dir / "f.OLD"), in);
    }
}

TEST_F(TextFileEditorTest, FileNameAndIsOpen) {
    WriteBytes(dir / "a", "one\ntwo\n");
    file->SetIsOpen(true);
    EXPECT_FALSE(file->IsOpen()) << "no file name: not taken";
    file->SetFileName(dir / "missing");
    EXPECT_THROW(file->SetIsOpen(true), EInOutError);
    EXPECT_FALSE(file->IsOpen());
    file->BeginLoading(); // as from a stored form: loads once the form is read
    file->SetFileName(dir / "a");
    file->SetIsOpen(true);
    EXPECT_EQ(file->ParaCount(), 1);
    file->EndLoading();
    EXPECT_EQ(Text(), (std::vector<std::string>{"one", "two", ""}));
    file->SetFileName(dir / "A"); // another file on a case-sensitive system
    EXPECT_FALSE(file->IsOpen());
    EXPECT_EQ(file->ParaCount(), 3) << "the text stays";
    file->LoadFromFile(dir / "a");
    file->SetIsOpen(false);
    EXPECT_EQ(Text(), std::vector<std::string>{""});
}

TEST_F(TextFileEditorTest, FailedLoadsAndSaves) {
    WriteBytes(dir / "f", "one\ntwo\nthree\nfour\n");
    auto load = [&](const std::string& name) { return [&, name] { file->LoadFromFile(name); }; };
    file->SetParaLimit(3);
    EXPECT_EQ(Failure<EEditorError>(load(dir / "f")), LibraryMessage(30198));
    EXPECT_EQ(Text(), (std::vector<std::string>{"one", "two", "three", ""})) << "first load";
    EXPECT_FALSE(file->IsOpen());
    file->SetParaLimit(kNoLimit);
    file->LoadFromFile(dir / "f");
    file->SetParaLimit(3);
    EXPECT_EQ(Failure<EEditorError>(load(dir / "f")), LibraryMessage(30198));
    EXPECT_EQ(Text(), std::vector<std::string>{""}) << "a reload empties the text";

    file->SetParaLimit(kNoLimit);
    file->LoadFromFile(dir / "f");
    file->SetModified(true);
    const std::vector<std::string> text = Text();
    file->SetByteLimit(10); // the file is larger: it is not read, nothing is lost
    EXPECT_EQ(Failure<EEditorError>(load(dir / "f")), LibraryMessage(30200));
    EXPECT_TRUE(file->IsOpen() && file->Modified());
    EXPECT_EQ(Failure<EInOutError>(load(dir / "none")).rfind("Cannot open", 0), 0u);
    EXPECT_EQ(file->FileName(), dir / "none");
    mkdir((dir / "sub").c_str(), 0755);
    Failure<EInOutError>([&] { file->SaveToFile(dir / "sub"); });
    EXPECT_TRUE(file->Modified());
    EXPECT_EQ(Text(), text);
}

TEST_F(TextFileEditorTest, AttachSharesTheTextFileNameAndLineEnds) {
    WriteBytes(dir / "f", "a\r\nb");
    file->LoadFromFile(dir / "f");
    TZalTextFileEditor* view = NewEditor<TZalTextFileEditor>(0, 0, 300, 200);
    EXPECT_THROW(view->Attach(edit), EInvalidCast);
    EXPECT_EQ(view->NextEditor(), view) << "refused: still on its own text";
    view->Attach(file);
    EXPECT_EQ(view->FileName(), dir / "f");
    view->SaveToFile(dir / "g");
    EXPECT_EQ(ReadBytes(dir / "g"), "a\r\nb\r\n");
}
