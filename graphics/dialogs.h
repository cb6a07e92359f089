// The dialogs unit: InputString, InputText, Message and Menu ask the user through the dialog
// service (a real dialog in the window, a line of stdin in console mode).
#pragma once

class FunctionUnit;

FunctionUnit& DialogUnit();
