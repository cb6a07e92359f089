// The absolute XPath of the element of arguments[0], written as the inspector's page tree
// writes it: "/html[1]/body[1]/div[2]".
var foundElement = arguments[0];
function getDocumentTree() {
  var steps = [];
  for (var e = foundElement; e && e.nodeType === 1; e = e.parentNode) {
    var tag = e.tagName.toLowerCase();
    var position = 1;
    for (var s = e.previousElementSibling; s; s = s.previousElementSibling)
      if (s.tagName.toLowerCase() === tag) ++position;
    steps.unshift(tag + '[' + position + ']');
  }
  return steps.length ? '/' + steps.join('/') : '';
}
