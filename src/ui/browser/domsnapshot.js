// Returns the loaded document as the program's page snapshot (JSON text, the
// format of domsnapshot.schema.json): every element in the order of
// document.getElementsByTagName('*'), with the fields extraction and sign-in
// read. Runs in the application world, so the page's own scripts cannot
// replace the built-ins used here; the DOM itself is the page's.
(function () {
    'use strict';
    // A form exposes its fields as properties ("id", "title", even
    // "getAttribute"), so attributes are read through the prototype, and
    // properties only where the element's own interface defines them.
    const getAttribute = Element.prototype.getAttribute;
    const attribute = (element, name) => getAttribute.call(element, name) || '';
    // What a reader cannot see is never taken: the layout decides, and only
    // the browser knows it. No boxes means not rendered (display: none on the
    // element or an ancestor, the hidden attribute); visibility is inherited
    // through the computed style; a box wholly outside the page is off to a side.
    const getClientRects = Element.prototype.getClientRects;
    const getBoundingClientRect = Element.prototype.getBoundingClientRect;
    // A document may have no root element at all (while it is replaced).
    const root = document.documentElement;
    // Sideways the page is as wide as the window (a box placed far off to a
    // side widens what can be scrolled, not the page); downwards, as long as
    // its content.
    const pageWidth = root === null ? 0 : Math.max(root.clientWidth, getBoundingClientRect.call(root).width);
    const pageHeight = root === null ? 0 : Math.max(root.scrollHeight, root.clientHeight);
    // A page with no size yet (not shown in any view) has laid nothing out:
    // then only what the style says counts, not sizes and places.
    const laidOut = root !== null && root.clientWidth > 0 && root.clientHeight > 0;
    const shown = (element, item) => {
        if (getClientRects.call(element).length === 0) {
            item.hidden = true;
            return;
        }
        const visibility = window.getComputedStyle(element).visibility;
        const box = getBoundingClientRect.call(element);
        const left = box.left + window.scrollX;
        const top = box.top + window.scrollY;
        if (visibility === 'hidden' || visibility === 'collapse')
            item.hidden = true;
        else if (!laidOut)
            return;
        else if (left + box.width <= 0 || top + box.height <= 0 || left >= pageWidth || top >= pageHeight)
            item.hidden = true;
        else if (box.width === 0 || box.height === 0)
            item.zeroSize = true;
    };
    // Text nodes directly inside an element, as the parser of saved pages
    // reads them: the citation details of an entry are read from these.
    const noOwnText = new Set(['SCRIPT', 'STYLE', 'NOSCRIPT', 'TEMPLATE', 'TITLE', 'TEXTAREA']);
    const ownText = (element) => {
        if (noOwnText.has(element.tagName.toUpperCase()))
            return '';
        let text = '';
        for (const node of element.childNodes) {
            if (node.nodeType === Node.TEXT_NODE || node.nodeType === Node.CDATA_SECTION_NODE)
                text += node.data;
        }
        return text.replace(/[ \t\n\r\f]+/g, ' ').replace(/^ | $/g, '');
    };
    const all = document.getElementsByTagName('*');
    const indexOf = new Map();
    const elements = new Array(all.length);
    for (let i = 0; i < all.length; ++i) {
        const element = all[i];
        indexOf.set(element, i);
        const parentElement = element.parentElement;
        const parent = parentElement !== null && indexOf.has(parentElement) ? indexOf.get(parentElement) : -1;
        const item = {
            tag: element.tagName,
            parent: parent,
            id: attribute(element, 'id'),
            className: attribute(element, 'class'),
            title: attribute(element, 'title'),
        };
        const text = ownText(element);
        if (text !== '')
            item.ownText = text;
        if (element instanceof HTMLAnchorElement) {
            item.href = element.href;
            item.innerText = element.innerText;
        } else if (element instanceof SVGAElement) {
            // An SVG link has no resolved href property; resolve it like the
            // browser would when followed.
            const raw = attribute(element, 'href') || element.getAttributeNS('http://www.w3.org/1999/xlink', 'href') || '';
            let href = '';
            try {
                href = raw === '' ? '' : new URL(raw, document.baseURI).href;
            } catch (e) {
                href = raw;
            }
            item.href = href;
            item.innerText = element.textContent;
        } else if (element instanceof HTMLInputElement) {
            item.name = element.name;
            item.type = element.type;
            item.value = element.value;
            item.checked = element.checked;
        } else if (element instanceof HTMLButtonElement) {
            // Sign-in forms submit with buttons as often as with inputs.
            item.name = element.name;
            item.type = element.type;
            item.value = element.value;
        }
        shown(element, item);
        elements[i] = item;
    }
    return JSON.stringify({ url: document.URL, elements: elements });
})();
