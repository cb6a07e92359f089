// Marks the element of arguments[0] with the id arguments[1] (attribute data-__element_id), so
// that it can be found again by XPath; reports the id stored.
var markedElement = arguments[0];
var markedId = arguments[1];
if (markedElement) markedElement.setAttribute('data-__element_id', markedId);
function getDocumentTree() { return markedElement ? markedElement.getAttribute('data-__element_id') : null; }
