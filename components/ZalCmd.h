#pragma once
// Command tables and key translation: named tables of key bindings that turn a key, or a
// sequence of two keys, with a shift state into an editor command code.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/ZalCmdCodes.h"
#include "components/ZalExcpt.h"
#include "components/Persistent.h"
#include "components/ZalStream.h"
#include "platform/Messages.h"
#include "platform/ShiftState.h"

// Shift byte of a binding.
constexpr uint8_t ksNone = 0;
constexpr uint8_t ksShift = 2;
constexpr uint8_t ksCtrl = 4;
constexpr uint8_t ksAlt = 8;
// Second key only: no modifier or Ctrl alone.
constexpr uint8_t ksCtrlOrNone = 128;

struct TZalKeyBinding {
    uint8_t FirstKey = 0;
    uint8_t FirstShift = 0;
    uint8_t SecondKey = 0; // 0: a single-key binding
    uint8_t SecondShift = 0;
    uint16_t Command = 0;

    // The four key and shift bytes as one little-endian 32-bit value: the identity of a
    // binding within its table. Negative when SecondShift has its high bit set.
    constexpr int32_t KeySequence() const {
        return static_cast<int32_t>(uint32_t(FirstKey) | uint32_t(FirstShift) << 8 |
                                    uint32_t(SecondKey) << 16 | uint32_t(SecondShift) << 24);
    }
    static constexpr TZalKeyBinding FromSequence(int32_t keySequence, uint16_t command) {
        const auto keys = static_cast<uint32_t>(keySequence);
        return TZalKeyBinding{uint8_t(keys), uint8_t(keys >> 8), uint8_t(keys >> 16),
                              uint8_t(keys >> 24), command};
    }
    friend constexpr bool operator==(const TZalKeyBinding&, const TZalKeyBinding&) = default;
};
static_assert(sizeof(TZalKeyBinding) == 6, "a key binding is a packed 6-byte record");

class TZalCommandTable : public TPersistent {
public:
    TZalCommandTable();
    const char* ClassName() const override { return "TZalCommandTable"; }
    TZalCommandTable(const TZalCommandTable&) = delete;
    TZalCommandTable& operator=(const TZalCommandTable&) = delete;

    bool IsActive = true;
    std::string TableName;

    int BindingCount() const { return static_cast<int>(bindings_.size()); }
    TZalKeyBinding GetBinding(int index) const;
    int AppendBinding(const TZalKeyBinding& binding);
    void InsertBinding(int index, const TZalKeyBinding& binding);
    void ReplaceBinding(int index, const TZalKeyBinding& binding);
    void DeleteBinding(int index);
    // Index of the first binding with the same key sequence (the command is ignored), or -1.
    int IndexOfKeys(const TZalKeyBinding& binding) const;
    void ClearBindings();

    // Text form: the name on line 1, then one binding per line in fixed columns, CR LF.
    // A failed load raises EInOutError and leaves the table as it was.
    void LoadFromTextFile(const std::string& fileName);
    void SaveToTextFile(const std::string& fileName) const;

    // Stream form "CommandList": name, active flag, list of (KeySequence, Command)
    // pairs; a built-in table stores only its differences from the built-in data, or,
    // when no differences read back as the table, all its pairs in a nested list.
    // A malformed stream raises EZalStreamError and leaves the table as it was.
    void ReadCommandList(TZalValueReader& reader);
    void WriteCommandList(TZalValueWriter& writer) const;
    void DefineProperties(TFiler& filer) override;

private:
    friend class TZalCommandProcessor; // translation scans the bindings without copying

    // Each binding is a separately owned copy.
    std::vector<std::unique_ptr<TZalKeyBinding>> bindings_;

    void CheckIndex(int index, int limit) const;
    // The (KeySequence, Command) pairs that say this table as differences from `data`,
    // or nothing when reading them back would not give this very table.
    std::optional<std::vector<TZalKeyBinding>> Differences(std::span<const TZalKeyBinding> data) const;
};

class TZalCommandProcessor : public TPersistent {
public:
    const char* ClassName() const override { return "TZalCommandProcessor"; }
    enum TTranslationState : uint8_t { tsIdle = 0, tsAwaitSecondKey = 1, tsLiteralNext = 2 };

    // Builds "Default" (active), "WordStar" and "Grid" (inactive) from the built-in data.
    TZalCommandProcessor();
    TZalCommandProcessor(const TZalCommandProcessor&) = delete;
    TZalCommandProcessor& operator=(const TZalCommandProcessor&) = delete;

    int TableCount() const { return static_cast<int>(tables_.size()); }
    TZalCommandTable& Tables(int index);
    const TZalCommandTable& Tables(int index) const;

    // Takes ownership, gives the table a name no other table has, appends it; returns
    // its index.
    int AddTable(std::unique_ptr<TZalCommandTable> table);
    int CreateTable(const std::string& name, bool active);
    // Appends to the named table; ETableNotFound, or EDuplicateCommand when the key
    // sequence is already bound there. Returns the binding's index.
    int AddBinding(std::string_view tableName, const TZalKeyBinding& binding);
    // First table whose name equals `name` ignoring ASCII letter case, or nullptr.
    TZalCommandTable* FindTable(std::string_view name) const;
    void ClearTables();

    void ResetState();
    TTranslationState State() const { return state_; }

    // Translates a WM_KEYDOWN: the key is the low byte of WParam, the shift byte comes
    // from the keyboard state of the message being handled.
    TZalCommand TranslateKeyMessage(const TMessage& message);
    // Translates a key with an explicit key-state set (Shift, Ctrl and Alt count).
    TZalCommand TranslateKeyShift(uint16_t key, TShiftState shift);

    // Loads a table from a text file as a new active table; returns its index. On
    // failure the error propagates and the processor is unchanged.
    virtual int LoadTableFromFile(const std::string& fileName);
    // Saves the named table to a text file; nothing happens if there is no such table.
    virtual void SaveTableToFile(std::string_view tableName, const std::string& fileName);

    // Stream form "TableList": a list of tables in the "CommandList" form. Reading
    // replaces all tables (a malformed stream raises EZalStreamError and changes nothing);
    // the translation state is kept.
    void ReadTableList(TZalValueReader& reader);
    void WriteTableList(TZalValueWriter& writer) const;
    void DefineProperties(TFiler& filer) override;

private:
    using TTableList = std::vector<std::unique_ptr<TZalCommandTable>>;

    void CheckTableIndex(int index) const;
    TZalCommand Translate(uint16_t key, uint8_t shift);
    TZalCommand MatchTable(const TZalCommandTable& table, uint8_t key, uint8_t shift);

    TTableList tables_;
    TTranslationState state_ = tsIdle;
    uint8_t prefixKey_ = 0;
    uint8_t prefixShift_ = 0;
};

// The built-in tables, in the order the processor creates them.
enum class TZalBuiltinTable { btDefault = 0, btWordStar = 1, btGrid = 2 };
// The built-in bindings of one table (the name is the library message of that table).
std::span<const TZalKeyBinding> BuiltinBindings(TZalBuiltinTable table);
std::string BuiltinTableName(TZalBuiltinTable table);
// The built-in table whose name equals `name` ignoring ASCII case, or -1.
int BuiltinTableIndex(std::string_view name);
// Compares ignoring the case of ASCII letters only.
bool SameTextAscii(std::string_view a, std::string_view b);
