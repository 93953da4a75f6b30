#pragma once
// The device's parameter table: every record of the dataset, in the order of the list, of saving and of
// the bulk upload. Built once when the DTM object is created.
#include <windows.h>

#include <cstddef>

#include "dataset/ParameterDefinition.h"
#include "dataset/QuelkVariableList.h"
#include "values/DtmVocabulary.h"
#include "values/QuelkMessageSink.h"

struct ParameterTableView {
    const ParameterDefinition* rows;
    size_t count;
};

// The definitions in table order.
ParameterTableView DeviceParameterTable() noexcept;

// Defines every record of the table into `list` (a second definition of an id is ignored); `count`
// (may be null) receives the number of records in the list afterwards; `sink` (may be null) receives the
// messages of the definitions (the DTM object's frame messages). A failure (E_OUTOFMEMORY when memory runs
// out) is answered with `list` holding part of the table at most: the caller discards it.
HRESULT DefineDeviceParameters(CQuelkVariableList* list, ULONG* count, CQuelkMessageSink* sink) noexcept;
