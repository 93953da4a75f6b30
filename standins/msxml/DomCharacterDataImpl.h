#pragma once
// The IXMLDOMCharacterData part of text, comment and CDATA node objects, over DomNodeImpl.
#include "standins/msxml/CharacterData.h"
#include "standins/msxml/DomNodeImpl.h"

namespace msxml_standin {

template <class CharacterDataInterface>
class DomCharacterDataImpl : public DomNodeImpl<CharacterDataInterface> {
public:
    HRESULT STDMETHODCALLTYPE get_data(BSTR* out) noexcept override {
        return CharacterData::GetData(this->access_, out);
    }
    HRESULT STDMETHODCALLTYPE put_data(BSTR data) noexcept override {
        return CharacterData::PutData(this->access_, data);
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* out) noexcept override {
        return CharacterData::GetLength(this->access_, out);
    }
    HRESULT STDMETHODCALLTYPE substringData(LONG offset, LONG count, BSTR* out) noexcept override {
        return CharacterData::SubstringData(this->access_, offset, count, out);
    }
    HRESULT STDMETHODCALLTYPE appendData(BSTR data) noexcept override {
        return CharacterData::AppendData(this->access_, data);
    }
    HRESULT STDMETHODCALLTYPE insertData(LONG offset, BSTR data) noexcept override {
        return CharacterData::InsertData(this->access_, offset, data);
    }
    HRESULT STDMETHODCALLTYPE deleteData(LONG offset, LONG count) noexcept override {
        return CharacterData::DeleteData(this->access_, offset, count);
    }
    HRESULT STDMETHODCALLTYPE replaceData(LONG offset, LONG count, BSTR data) noexcept override {
        return CharacterData::ReplaceData(this->access_, offset, count, data);
    }

protected:
    using DomNodeImpl<CharacterDataInterface>::DomNodeImpl;
    ~DomCharacterDataImpl() = default;
};

}  // namespace msxml_standin
