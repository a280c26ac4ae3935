#include "logdb/dao/DaoRecordset.h"

#include "core/Failure.h"
#include "logdb/FoldCase.h"
#include "logdb/dao/VariantValue.h"

namespace zorvik::logdb::dao {
namespace {

constexpr int kDateType = 8;  // dbDate, Field.Type of a Date/Time field

void Find(Dispatch& set, const wchar_t* method, std::string_view criterion) {
  const UniqueVariant text = ToVariant(Value(std::string(criterion)));
  set.Call(method, {&text.Get()});
}

}  // namespace

DaoRecordset::~DaoRecordset() {
  try {
    Close();
  } catch (...) {
    // DAO closes the set with its last reference anyway.
  }
}

Dispatch& DaoRecordset::Set() const {
  if (closed_) throw Failure(err::kObjectClosed, "Object invalid or no longer set.");
  return recordset_;
}

DaoRecordset::Field& DaoRecordset::FieldNamed(std::string_view name) const {
  Dispatch& set = Set();
  const std::string key = FoldCase(name);
  if (const auto found = byName_.find(key); found != byName_.end()) return found->second;
  if (!fields_) fields_ = set.Object(L"Fields", InvokeKind::kPropertyGet);
  const UniqueVariant text = ToVariant(Value(std::string(name)));
  Dispatch field = fields_.Object(L"Item", InvokeKind::kPropertyGet, {&text.Get()});
  return byName_.emplace(key, Field{std::move(field), std::nullopt}).first->second;
}

void DaoRecordset::MoveFirst() {
  Set().Call(L"MoveFirst");
}

void DaoRecordset::MoveNext() {
  Set().Call(L"MoveNext");
}

void DaoRecordset::MoveLast() {
  Set().Call(L"MoveLast");
}

std::int64_t DaoRecordset::RecordCount() const {
  return IntegerOf(Set().Get(L"RecordCount").Get());
}

bool DaoRecordset::IsEof() const {
  return TruthOf(Set().Get(L"EOF").Get());
}

void DaoRecordset::FindFirst(std::string_view criterion) {
  Find(Set(), L"FindFirst", criterion);
}

void DaoRecordset::FindNext(std::string_view criterion) {
  Find(Set(), L"FindNext", criterion);
}

bool DaoRecordset::NoMatch() const {
  return TruthOf(Set().Get(L"NoMatch").Get());
}

Value DaoRecordset::Fields(std::string_view name) const {
  return ToValue(FieldNamed(name).object.Get(L"Value").Get());
}

bool DaoRecordset::HasField(std::string_view name) const {
  try {
    FieldNamed(name);
    return true;
  } catch (const Failure& f) {
    if (f.Number() != err::kUnknownField) throw;
    return false;
  }
}

void DaoRecordset::Edit() {
  Set().Call(L"Edit");
}

void DaoRecordset::AddNew() {
  Set().Call(L"AddNew");
}

void DaoRecordset::SetField(std::string_view name, const Value& value) {
  Field& field = FieldNamed(name);
  if (value.IsText() && !field.holdsDates) {
    field.holdsDates = IntegerOf(field.object.Get(L"Type").Get()) == kDateType;
  }
  const UniqueVariant variant = ToVariant(value, field.holdsDates.value_or(false));
  field.object.Put(L"Value", variant.Get());
}

void DaoRecordset::CopyField(std::string_view name, const Recordset& from,
                             std::string_view fromName) {
  const auto* source = dynamic_cast<const DaoRecordset*>(&from);
  if (source == nullptr) {
    Recordset::CopyField(name, from, fromName);
    return;
  }
  const UniqueVariant value = source->FieldNamed(fromName).object.Get(L"Value");
  FieldNamed(name).object.Put(L"Value", value.Get());
}

void DaoRecordset::Update() {
  Set().Call(L"Update");
}

void DaoRecordset::Close() {
  if (closed_) return;
  closed_ = true;
  byName_.clear();
  fields_ = Dispatch();
  Dispatch set = std::move(recordset_);
  set.Call(L"Close");
}

}  // namespace zorvik::logdb::dao
