// The page's elements in tree order for the element inspector: tag, outerHTML, nodeType, own
// text, absolute XPath ("/html[1]/body[1]/div[2]"), the parent's index and the depth; at most
// 100001 nodes. The tree comes as JSON text: WebDriver servers take any object with a nodeType
// member for a page element.
function getDocumentTree() {
  var nodes = [];
  function visit(element, parent, level, xpath) {
    if (nodes.length >= 100001) return;
    var text = '';
    for (var c = element.firstChild; c; c = c.nextSibling)
      if (c.nodeType === 3) text += c.nodeValue;
    var index = nodes.length;
    nodes.push({tag: element.tagName.toLowerCase(), outerHTML: element.outerHTML.substring(0, 2000),
                nodeType: String(element.nodeType), text: text.trim().substring(0, 500),
                xpath: xpath, parent: parent, level: level});
    var counts = {};
    for (var child = element.firstElementChild; child; child = child.nextElementSibling) {
      var tag = child.tagName.toLowerCase();
      counts[tag] = (counts[tag] || 0) + 1;
      visit(child, index, level + 1, xpath + '/' + tag + '[' + counts[tag] + ']');
    }
  }
  var root = document.documentElement;
  visit(root, -1, 0, '/' + root.tagName.toLowerCase() + '[1]');
  return JSON.stringify(nodes);
}
