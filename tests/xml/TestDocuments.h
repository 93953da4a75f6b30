#pragma once
// FDT documents of the tests, valid or broken in one known way each.

namespace xmltest {

// A function call with all three of its parts.
inline constexpr wchar_t kFunctionCall[] =
    L"<?xml version=\"1.0\"?>\n"
    L"<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\" xmlns:func=\"x-schema:DTMFunctionsSchema.xml\"\n"
    L"     xmlns:appId=\"x-schema:FDTApplicationIdSchema.xml\" "
    L"xmlns:ops=\"x-schema:FDTOperationPhaseSchema.xml\">\n"
    L"  <FDTFunctionCall func:functionId=\"12\" ops:operationPhase=\"runtime\">\n"
    L"    <appId:ApplicationId applicationId=\"fdtOnlineParameterize\"/>\n"
    L"  </FDTFunctionCall>\n"
    L"</FDT>\n";

// A function call that names neither function id, operation phase nor application id.
inline constexpr wchar_t kBareFunctionCall[] =
    L"<?xml version=\"1.0\"?>\n"
    L"<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\">\n"
    L"  <FDTFunctionCall/>\n"
    L"</FDT>\n";

// Well-formed, but its closed content model has no room for the element on line 4.
inline constexpr wchar_t kInvalidFunctionCall[] =
    L"<?xml version=\"1.0\"?>\n"
    L"<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\">\n"
    L"  <FDTFunctionCall/>\n"
    L"  <Unexpected/>\n"
    L"</FDT>\n";

// Not even well-formed.
inline constexpr wchar_t kMalformed[] = L"<?xml version=\"1.0\"?>\n<FDT>\n  <Open>\n</FDT>\n";

}  // namespace xmltest
