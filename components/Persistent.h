#pragma once
// The framework's persistent objects: objects whose properties can be assigned from one
// another and stored as value streams.
#include <functional>
#include <string_view>

class TZalValueReader;
class TZalValueWriter;

// What a property definition gives the filer: how to read the value, how to write it,
// and whether there is anything to store.
class TFiler {
public:
    virtual ~TFiler() = default;
    virtual void DefineProperty(std::string_view name,
                                const std::function<void(TZalValueReader&)>& read,
                                const std::function<void(TZalValueWriter&)>& write,
                                bool hasData) = 0;
};

class TPersistent {
public:
    virtual ~TPersistent() = default;
    // The class name shown by assignment errors.
    virtual const char* ClassName() const { return "TPersistent"; }
    // Copies source's values into this object; a source of a class this object does not
    // know raises EConvertError "Cannot assign a <source> to a <this>".
    virtual void Assign(const TPersistent* source);
    void Assign(const TPersistent& source) { Assign(&source); }
    // Defines the properties that are stored beyond the published ones.
    virtual void DefineProperties(TFiler& filer);

protected:
    // Asked by Assign when this object's class does not know the destination's.
    virtual void AssignTo(TPersistent& dest) const;
    [[noreturn]] void AssignError(const TPersistent* source) const;
};
