// The text file editor: loading and saving through the editor, its file name and open
// state, the failed-load rules, attaching, and the hourglass after failures.
#include <gtest/gtest.h>

#include <sys/stat.h>

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
    std::vector<std::string> Text(TZalCustomEditor& e) { return Paras(e.ParaList()); }
    // Loading `path` must fail with `message`, leaving the hourglass off.
    template <class E> void ExpectLoadFails(const std::string& path, const std::string& message) {
        try {
            file->LoadFromFile(path);
            ADD_FAILURE() << "loading " << path << " did not fail";
        } catch (const E& e) {
            EXPECT_EQ(e.Message().substr(0, message.size()), message);
        }
        EXPECT_EQ(ScreenCursorDepth(), 0);
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
    const Case cases[] = {{"a\r\nb\r\n", "a\r\nb\r\n", false}, {"a\nb", "a\nb\n", false},
                          {"a\rb\r", "a\rb\r", false}, {"a\r\nb\nc", "a\r\nb\r\nc\r\n", true},
                          {"", "", false}, {"x  \n\ty\n", "x\n\ty\n", true}};
    file->SetMakeBackup(true);
    file->SetBackupExt("OLDER");
    for (const auto& [in, out, reported] : cases) {
        WriteBytes(dir / "f.txt", in);
        file->LoadFromFile(dir / "f.txt."); // the final dot goes
        EXPECT_EQ(file->FileName(), dir / "f.txt");
        EXPECT_TRUE(file->IsOpen() && !file->Modified());
        EXPECT_EQ(file->LoadReport().Changed(), reported) << in;
        file->SetModified(true);
        file->SaveToFile(file->FileName());
        EXPECT_FALSE(file->Modified());
        EXPECT_EQ(ReadBytes(dir / "f.txt"), out);
        EXPECT_EQ(ReadBytes(dir / "f.OLD"), in);
    }
    std::remove((dir / "f.txt").c_str()); // gone between load and save: made again
    file->SaveToFile(file->FileName());
    EXPECT_EQ(ReadBytes(dir / "f.txt"), "x\n\ty\n");
}

TEST_F(TextFileEditorTest, FileNameAndIsOpen) {
    WriteBytes(dir / "a", "one\ntwo\n");
    file->SetIsOpen(true);
    EXPECT_FALSE(file->IsOpen()) << "no file name: not taken";
    file->SetFileName(dir / "missing");
    EXPECT_THROW(file->SetIsOpen(true), EInOutError);
    EXPECT_FALSE(file->IsOpen());
    file->SetFileName(dir / "a");
    file->SetIsOpen(true);
    EXPECT_EQ(Text(*file), (std::vector<std::string>{"one", "two", ""}));
    file->SetFileName(dir / "A"); // another file on a case-sensitive system
    EXPECT_FALSE(file->IsOpen());
    EXPECT_EQ(file->ParaCount(), 3) << "the text stays";
    file->LoadFromFile(dir / "a");
    file->SetIsOpen(false);
    EXPECT_EQ(Text(*file), std::vector<std::string>{""});

    TZalTextFileEditor* stored = NewEditor<TZalTextFileEditor>(0, 0, 300, 200);
    stored->BeginLoading();
    stored->SetFileName(dir / "a");
    stored->SetIsOpen(true);
    EXPECT_EQ(stored->ParaCount(), 1) << "loads once the form is read";
    stored->EndLoading();
    EXPECT_TRUE(stored->IsOpen());
    EXPECT_EQ(stored->ParaCount(), 3);
}

TEST_F(TextFileEditorTest, FailedLoadsAndSaves) {
    WriteBytes(dir / "f", "one\ntwo\nthree\nfour\n");
    file->SetParaLimit(3);
    ExpectLoadFails<EEditorError>(dir / "f", LibraryMessage(30198));
    EXPECT_EQ(Text(*file), (std::vector<std::string>{"one", "two", "three", ""})) << "first load";
    EXPECT_FALSE(file->IsOpen());
    file->SetParaLimit(kNoLimit);
    file->LoadFromFile(dir / "f");
    file->SetParaLimit(3);
    ExpectLoadFails<EEditorError>(dir / "f", LibraryMessage(30198));
    EXPECT_EQ(Text(*file), std::vector<std::string>{""}) << "a reload empties the text";

    file->SetParaLimit(kNoLimit);
    file->LoadFromFile(dir / "f");
    file->SetModified(true);
    const std::vector<std::string> text = Text(*file);
    file->SetByteLimit(10); // the file is larger: it is not read, nothing is lost
    ExpectLoadFails<EEditorError>(dir / "f", LibraryMessage(30200));
    EXPECT_TRUE(file->IsOpen() && file->Modified());
    file->SetByteLimit(kNoLimit);
    ExpectLoadFails<EInOutError>(dir / "none", "Cannot open");
    EXPECT_EQ(file->FileName(), dir / "none");
    EXPECT_FALSE(file->IsOpen());
    mkdir((dir / "sub").c_str(), 0755);
    EXPECT_THROW(file->SaveToFile(dir / "sub"), EInOutError);
    EXPECT_EQ(ScreenCursorDepth(), 0);
    EXPECT_TRUE(file->Modified());
    EXPECT_EQ(Text(*file), text);
}

TEST_F(TextFileEditorTest, AttachSharesTheTextFileNameAndLineEnds) {
    WriteBytes(dir / "f", "a\r\nb");
    file->LoadFromFile(dir / "f");
    TZalTextFileEditor* view = NewEditor<TZalTextFileEditor>(0, 0, 300, 200);
    EXPECT_THROW(view->Attach(edit), EInvalidCast);
    EXPECT_EQ(view->NextEditor(), view) << "refused: still on its own text";
    view->Attach(file);
    EXPECT_EQ(&view->ParaList(), &file->ParaList());
    EXPECT_EQ(view->FileName(), dir / "f");
    view->SaveToFile(dir / "g");
    EXPECT_EQ(ReadBytes(dir / "g"), "a\r\nb\r\n");
}

TEST_F(TextFileEditorTest, DesignModeLoadsANewNameAndSavesNothing) {
    WriteBytes(dir / "a", "a\n");
    WriteBytes(dir / "b", "b1\nb2\n");
    file->LoadFromFile(dir / "a");
    file->SetDesigning(true);
    file->SetFileName(dir / "b");
    EXPECT_TRUE(file->IsOpen());
    EXPECT_EQ(Text(*file), (std::vector<std::string>{"b1", "b2", ""}));
    file->SaveToFile(dir / "c");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "b"}));
}
