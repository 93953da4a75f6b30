#include "xml/SchemaLists.h"

const char* const DtmSchemaList[] = {
    "DTMInformationSchema.xml",
    "DTMParameterSchema.xml",
    "FDTDataTypesSchema.xml",
    "FDTApplicationIdSchema.xml",
    "DTMFunctionsSchema.xml",
    "DTMFunctionCallSchema.xml",
    "FDTOperationPhaseSchema.xml",
    "FDTUserInformationSchema.xml",
    "FDTUserMessageSchema.xml",
    "FDTProfibusDPV1CommunicationSchema.xml",
    "",
};

const char* const BuiltInSchemaList[] = {
    "FDTDataTypesSchema.xml",    "FDTApplicationIdSchema.xml",  "DTMFunctionsSchema.xml",
    "DTMFunctionCallSchema.xml", "FDTOperationPhaseSchema.xml", "",
};
