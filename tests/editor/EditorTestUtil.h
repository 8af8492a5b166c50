#pragma once
// A form with its controller and editors whose windows exist (offscreen), and shorthands.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "components/ZalBase.h"
#include "editor/ZalEdit.h"
#include "platform/Application.h"

// Exposes the protected operations the tests drive directly.
class TProbeEditor : public TZalCustomEditor {
public:
    using TZalCustomEditor::TZalCustomEditor;
    using TZalCustomEditor::DoOnError;
    using TZalCustomEditor::UpdateMetrics;
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 800, 600);
        NewComponent<TZalController>(form.get());
        edit = NewEditor<TProbeEditor>(0, 0, 400, 300);
        edit->OnShowStatus = [this](TComponent*, int32_t line, int32_t col) { statuses.emplace_back(line, col); };
    }
    void TearDown() override { form.reset(); }

    template <class T = TZalCustomEditor> T* NewEditor(int left, int top, int width, int height) {
        T* e = NewComponent<T>(form.get());
        e->SetParent(form.get());
        e->SetBounds(left, top, width, height);
        e->HandleNeeded();
        return e;
    }
    // The text becomes these paragraphs (and the final empty one loading leaves).
    static void Load(TZalCustomEditor& e, const std::vector<std::string>& paras) {
        e.Clear(true);
        for (const std::string& p : paras) ASSERT_EQ(e.AppendPara(p), 0);
    }
    // The status notifications that arrive once the queue is handled.
    std::vector<std::pair<int32_t, int32_t>> Statuses() {
        ProcessPendingEvents();
        return std::exchange(statuses, {});
    }

    std::unique_ptr<TForm> form;
    TProbeEditor* edit = nullptr;
    std::vector<std::pair<int32_t, int32_t>> statuses;
};
