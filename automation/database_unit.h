// The database unit: DB_Connect, DB_Disconnect, DB_GetData, DB_ExecSQL and DB_Export_To_Excel
// over one Qt Sql connection that stays open between runs until the program ends.
#pragma once

class FunctionUnit;

FunctionUnit& DatabaseUnit();
