#pragma once
// The registered XML type name of a class ("Vabo::Text", "TunerLayout"):
// empty until the class's registration sets it; the class's load wrapper
// copies it into each new object.
#include <string>

template <class T> std::string& ClassXMLName()
{
    static std::string name;
    return name;
}
