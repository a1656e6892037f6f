#include "app/helpers/AppValues.h"

TAppValues &AppValues()
{
    static TAppValues values;
    return values;
}
