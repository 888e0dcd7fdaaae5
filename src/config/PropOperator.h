// IPropOperator: an object bound to one setting of one item, through which a
// generic editor (a settings page, a property grid) reads and writes any
// setting without knowing its type.
#pragma once

class CProp;
class CPropName;

// Edits one setting of one item. Every operation looks at the item's chain
// afresh; the operator keeps no copy of the effective value. The item must
// outlive the operator.
struct IPropOperator {
  virtual ~IPropOperator() = default;
  // The setting's key.
  virtual const CPropName& GetName() const = 0;
  // Takes ownership of `value`. A value equal to the effective one (the
  // built-in default included) is deleted and nothing changes; otherwise it
  // becomes the item's own value. Null does nothing.
  virtual void SetValue(CProp* value) = 0;
  // The value found on the item (and, when `inherited`, on its ancestors),
  // else the built-in default. Never null; owned by the item or the operator.
  virtual const CProp* GetValue(bool inherited) const = 0;
  // Removes the item's own value; ancestors keep theirs.
  virtual void Reset() = 0;
  // True when no item of the chain holds the setting.
  virtual bool IsDefault() const = 0;
};
