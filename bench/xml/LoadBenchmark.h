#pragma once
// Times document loads as the system makes them: a new DOM document for every load, the schema cache
// attached when there is one, loadXML of the text, the document released.
#include <windows.h>

#include <msxml2.h>

#include <vector>

namespace xmlbench {

class LoadBenchmark {
public:
    // One load; `loaded` receives loadXML's flag.
    static HRESULT LoadOnce(const CLSID& documentClass, IXMLDOMSchemaCollection* schemas, BSTR text,
                            VARIANT_BOOL& loaded) noexcept;
    struct Timing {
        double create = 0;   // creating the document and attaching the schema cache, in microseconds
        double load = 0;     // loadXML alone
        double release = 0;  // releasing the document
    };
    static Timing TimeOnce(const CLSID& documentClass, IXMLDOMSchemaCollection* schemas, BSTR text) noexcept;
    static double Median(std::vector<double> samples);
};

}  // namespace xmlbench
