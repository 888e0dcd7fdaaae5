// The machinery behind every configuration accessor class. A setting is one
// line, ITEMLIB_SETTING(Name, Type, Key, Default), inside the class; it expands
// to the family of static operations and the operator class, all of which
// forward to the templates here, so the behaviour is written once.
#pragma once

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "config/PropOperator.h"
#include "items/CfgHolder.h"
#include "lang/IntStrMap.h"
#include "lang/PrjLangs.h"
#include "props/Prop.h"
#include "props/PropName.h"

namespace CfgAccess {

// The property class that stores settings of value type T; one per type,
// declared with ITEMLIB_SETTING_PROP_CLASS at global scope.
template <typename T>
struct PropOf;

// The value as a user reads it ("85", "true", a path). Each value type has
// an explicit specialisation, declared by ITEMLIB_SETTING_PROP_CLASS.
template <typename T>
CString SettingText(const T& value);

// The operations of a setting of value type T under a given key.
template <typename T>
class CSetting {
 public:
  using Prop = typename PropOf<T>::type;

  // The property under `name` on the item, or on its ancestors when
  // `inherit`; the first item holding the key decides. A property of another
  // class there counts as absent (no writer stores one).
  static const Prop* Find(const CResItem& item, const CPropName& name, bool inherit) {
    const CProp* found = CCfgHolder::GetPropW(item, name, inherit);
    if (!found || &found->GetPropClass() != &Prop::classInstance) return nullptr;
    return static_cast<const Prop*>(found);
  }

  // The effective value: inherited, else `defValue`. The reference lives
  // until the holding property is replaced or removed.
  static const T& Get(const CResItem& item, const CPropName& name, const T& defValue) {
    const Prop* found = Find(item, name, true);
    return found ? found->value : defValue;
  }

  static bool Has(const CResItem& item, const CPropName& name) {
    return Find(item, name, false) != nullptr;
  }

  // Stores `value` on the item unless the value found up the chain already
  // equals it. The built-in default takes no part: with nothing stored
  // anywhere the value is always stored, so a project can pin a default.
  static void Set(CResItem& item, const CPropName& name, const T& value) {
    const Prop* found = Find(item, name, true);
    if (found && found->value == value) return;
    CCfgHolder::SetPropW(item, name, NewProp(value));
  }

  // A new property holding `value`; the caller owns it.
  static CProp* NewProp(const T& value) { return new Prop(value); }
};

// What every setting operator does; a generated subclass adds only the key.
class CSettingOperator : public IPropOperator {
 public:
  // Takes ownership of `defaultValue`. `item` must outlive the operator.
  CSettingOperator(CResItem& item, CProp* defaultValue);
  ~CSettingOperator() override;
  CSettingOperator(const CSettingOperator&) = delete;
  CSettingOperator& operator=(const CSettingOperator&) = delete;

  void SetValue(CProp* value) override;
  const CProp* GetValue(bool inherited) const override;
  void Reset() override;
  bool IsDefault() const override;

 private:
  std::unique_ptr<CProp> default_;
  CResItem* item_;
};

// One row of an accessor class's table of settings, for generic listing.
struct CSettingInfo {
  const CPropName& (*name)();
  // The effective value on an item as text.
  CString (*text)(const CResItem& item);
  // True when the effective value equals the built-in default.
  bool (*equalsDefault)(const CResItem& item);
};

// Key and text of every setting of `table` whose effective value on `item`
// differs from its built-in default, in table order.
std::vector<std::pair<CString, CString>> ListChanged(const std::vector<CSettingInfo>& table,
                                                     const CResItem& item);

}  // namespace CfgAccess

// Binds a value type to its property class and declares the type's display
// text (SettingText), which a source file defines. At global scope.
#define ITEMLIB_SETTING_PROP_CLASS(Type, PropClass) \
  namespace CfgAccess {                             \
  template <>                                       \
  struct PropOf<Type> {                             \
    using type = PropClass;                         \
  };                                                \
  template <>                                       \
  CString SettingText(const Type& value);           \
  }

ITEMLIB_SETTING_PROP_CLASS(bool, CBoolProp)
ITEMLIB_SETTING_PROP_CLASS(int, CIntProp)
ITEMLIB_SETTING_PROP_CLASS(CString, CStrProp)
ITEMLIB_SETTING_PROP_CLASS(std::vector<int>, CIntVectorProp)
ITEMLIB_SETTING_PROP_CLASS(std::set<CString>, CStrSetProp)
ITEMLIB_SETTING_PROP_CLASS(CIntStrMap, CIntStrMapProp)
ITEMLIB_SETTING_PROP_CLASS(CPrjLangs, CPrjLangsProp)
ITEMLIB_SETTING_PROP_CLASS(CLangSet, CLangSetProp)
ITEMLIB_SETTING_PROP_CLASS(CFilter, CFilterProp)

// One setting of an accessor class, inside the class body: the nested
// C<Name>PropOperator and the static <Name>PropName, Get<Name>, Has<Name>,
// Reset<Name>, Set<Name> and Create<Name>Operator. `Default` is evaluated
// in the class's scope, so it may call the class's own (protected) helpers.
// The key and the default are built on first use in function-local statics.
#define ITEMLIB_SETTING(Name, Type, Key, Default)                                             \
  static const CPropName& Name##PropName() {                                                  \
    static const CPropName propName(Key);                                                     \
    return propName;                                                                          \
  }                                                                                           \
  struct C##Name##PropOperator : ::CfgAccess::CSettingOperator {                              \
    static Type DefaultValue() { return Type(Default); }                                      \
    explicit C##Name##PropOperator(CResItem& item)                                            \
        : CSettingOperator(item, ::CfgAccess::CSetting<Type>::NewProp(DefaultValue())) {}     \
    const CPropName& GetName() const override { return Name##PropName(); }                    \
  };                                                                                          \
  static const Type& Get##Name(const CResItem& item) {                                        \
    static const Type defValue = C##Name##PropOperator::DefaultValue();                       \
    return ::CfgAccess::CSetting<Type>::Get(item, Name##PropName(), defValue);                \
  }                                                                                           \
  static bool Has##Name(const CResItem& item) {                                               \
    return ::CfgAccess::CSetting<Type>::Has(item, Name##PropName());                          \
  }                                                                                           \
  static void Reset##Name(CResItem& item) { CCfgHolder::DeleteProp(item, Name##PropName()); } \
  static void Set##Name(CResItem& item, const Type& value) {                                  \
    ::CfgAccess::CSetting<Type>::Set(item, Name##PropName(), value);                          \
  }                                                                                           \
  static IPropOperator* Create##Name##Operator(CResItem& item) {                              \
    return new C##Name##PropOperator(item);                                                   \
  }

// The table row of one setting; used through ITEMLIB_SETTINGS_TABLE.
#define ITEMLIB_SETTING_INFO(Name, Type, Key, Default)                                \
  ::CfgAccess::CSettingInfo{                                                          \
      &Name##PropName,                                                                \
      [](const CResItem& item) { return ::CfgAccess::SettingText(Get##Name(item)); }, \
      [](const CResItem& item) {                                                      \
        return Get##Name(item) == C##Name##PropOperator::DefaultValue();              \
      }},

// Given a list macro LIST(SETTING) that applies SETTING to every setting of
// the class, defines the static Settings(): the class's table, in order.
#define ITEMLIB_SETTINGS_TABLE(LIST)                                                       \
  static const std::vector<::CfgAccess::CSettingInfo>& Settings() {                        \
    static const std::vector<::CfgAccess::CSettingInfo> table{LIST(ITEMLIB_SETTING_INFO)}; \
    return table;                                                                          \
  }
