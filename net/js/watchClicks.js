// Marks the element the user clicks in the page (the click itself still happens) with a new
// id in its attribute data-__element_id, and reports the id of the last one clicked since the
// previous report, or "".
if (!window.__tressalyClicks) {
  window.__tressalyClicks = {count: 0, last: ''};
  document.addEventListener('click', function (event) {
    var clicks = window.__tressalyClicks;
    clicks.last = 'clicked-' + (++clicks.count);
    event.target.setAttribute('data-__element_id', clicks.last);
  }, true);
}
function getDocumentTree() {
  var last = window.__tressalyClicks.last;
  window.__tressalyClicks.last = '';
  return last;
}
